// Converts arbitrary bytes as a save of the demo game held in memory, to English when the lowest bit of the
// header's flags (which the conversion never reads) is set. The job always ends; a refused save is left as it
// was with one message; a converted one has the original as its backup and reads back whole.

#include "FuzzSupport.h"
#include "platform/MemoryFile.h"
#include "records/RecordStream.h"

#include <cstdint>
#include <string>

namespace orvella::fuzz {
namespace {

constexpr const char* SaveName = "Fuzz.ess";

// The demo game held in memory, and the user interface of its jobs, which counts the messages.
struct Game final : MessageBoxes, ProgressView {
    Game() : installation(test::installDemoGame(files)), empty(files.snapshot()) {}
    MessageAnswer show(const Message&) override { return ++messages, MessageAnswer::Ok; }
    void setBarPosition(JobStage, int) override {}
    void setImage(JobStage, StatusImage) override {}
    void finished(const PatchResult& result) override {
        require(!outcome, "a job that finished twice");
        outcome = result.outcomeText;
    }

    test::FaultInjectingFileSystem files;
    GameInstallation installation;
    test::FaultInjectingFileSystem::Snapshot empty;
    int messages = 0;
    std::optional<std::string> outcome;
};

void requireWellFormed(const std::string& bytes) {
    MemoryFile file(bytes);
    RecordStream stream(file, SaveName);
    std::int32_t count = 0;
    require(stream.readRecordCount(count), "a converted save without a record count");
    for (std::int64_t i = 0; i <= count; ++i) {
        auto record = stream.readRecord();
        require(record && sizeAddsUp(*record),
                "a converted record that cannot be read back, or does not add up");
        require(i > 0 || (record->tag().is("TES3") && record->subrecordCount() > 0 &&
                          record->subrecordAt(0).tag.is("HEDR") && record->subrecordAt(0).size() >= 300),
                "a converted save without its header");
    }
    require(stream.atEnd(), "a converted save with bytes after its last record");
}

void convert(Game& game, const std::string& input, ConversionDirection direction) {
    const std::string savePath = SavePaths(game.installation, SaveName).save;
    game.files.restore(game.empty);
    game.files.writeFile(savePath, input);
    game.messages = 0;
    game.outcome.reset();
    PatchJob job = test::jobFor(game.installation, game.files, game, game, SaveName, direction);
    const PatchResult result = runPatchJob(job);
    require(game.outcome == result.outcomeText,
            "a job that ends without telling its result, or tells another");
    require(game.files.openHandles() == 0 && !game.files.isFile(savePath + ".tmp"),
            "a file left open, or a temporary file left beside the save");
    const std::optional<std::string> save = game.files.readFile(savePath);
    const std::optional<std::string> backup =
        game.files.readFile(SavePaths(game.installation, SaveName).backup);
    require(save.has_value(), "the save is gone");
    if (result.exitCode != 0) {
        require(result.exitCode == 1 && *save == input && !backup && game.messages == 1,
                "a refused save with an exit code other than 1, changed, backed up, or without one message");
        return;
    }
    require(game.messages == 0 && backup == input, "a converted save with a message, or without its backup");
    requireWellFormed(*save);
}

} // namespace
} // namespace orvella::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static orvella::fuzz::Game game;
    const std::string input(reinterpret_cast<const char*>(data), size);
    orvella::fuzz::convert(
        game, input, size > 12 && (data[12] & 1) ? orvella::ItalianToEnglish : orvella::EnglishToItalian);
    return 0;
}
