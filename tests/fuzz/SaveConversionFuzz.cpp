// Converts arbitrary bytes as a save of the demo game held in memory, to English when the lowest bit of the
// header's flags (which the conversion never reads) is set; bytes whose header begins with a FORM, as an
// OpenMW save's does, as an OpenMW save. The job always ends; a refused save is left as it was with one
// message; a converted one has the original as its backup and reads back whole.

#include "FuzzSupport.h"
#include "gamebuilder/DemoGame.h"
#include "platform/MemoryFile.h"
#include "records/RecordStream.h"

#include <cstdint>
#include <string>

namespace orvella::fuzz {
namespace {

// The demo game held in memory, and the user interface of its jobs, which counts the messages.
struct Game final : MessageBoxes, ProgressView {
    explicit Game(SaveKind kind)
        : installation(kind == SaveKind::Ess ? test::installDemoGame(files) : openMwGame(files)),
          saveName(kind == SaveKind::Ess ? "Fuzz.ess" : "Nerevar/Fuzz.omwsave"), empty(files.snapshot()) {}
    static GameInstallation openMwGame(test::FaultInjectingFileSystem& files) {
        demo::writeDemoOpenMwGame(files, test::InMemoryGame);
        return demo::demoOpenMwInstallation(files, test::InMemoryGame);
    }
    MessageAnswer show(const Message&) override { return ++messages, MessageAnswer::Ok; }
    void setBarPosition(JobStage, int) override {}
    void setImage(JobStage, StatusImage) override {}
    void finished(const PatchResult& result) override {
        require(!outcome, "a job that finished twice");
        outcome = result.outcomeText;
    }

    test::FaultInjectingFileSystem files;
    GameInstallation installation;
    std::string saveName;
    test::FaultInjectingFileSystem::Snapshot empty;
    int messages = 0;
    std::optional<std::string> outcome;
};

// An OpenMW save keeps its header's format, then SAVE, and its records up to its end.
void requireWellFormedOpenMw(const std::string& bytes) {
    const auto records = test::readAllRecords(bytes);
    std::size_t read = 0;
    for (const auto& record : records) {
        require(sizeAddsUp(*record), "a converted record that does not add up");
        read += test::bytesOf(*record).size();
    }
    require(read == bytes.size(), "a converted save that cannot be read to its end");
    require(records.size() > 1 && records[0]->subrecordCount() > 0 &&
                records[0]->subrecordAt(0).tag.is("FORM") && records[1]->tag().is("SAVE"),
            "a converted save without its format or its SAVE record");
}

void requireWellFormed(const std::string& bytes) {
    MemoryFile file(bytes);
    RecordStream stream(file, "Fuzz.ess");
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
    const std::string savePath = SavePaths(game.installation, game.saveName).save;
    game.files.restore(game.empty);
    game.files.writeFile(savePath, input);
    game.messages = 0;
    game.outcome.reset();
    PatchJob job = test::jobFor(game.installation, game.files, game, game, game.saveName, direction);
    const PatchResult result = runPatchJob(job);
    require(game.outcome == result.outcomeText,
            "a job that ends without telling its result, or tells another");
    require(game.files.openHandles() == 0 && !game.files.isFile(savePath + ".tmp"),
            "a file left open, or a temporary file left beside the save");
    const std::optional<std::string> save = game.files.readFile(savePath);
    const std::optional<std::string> backup =
        game.files.readFile(SavePaths(game.installation, game.saveName).backup);
    require(save.has_value(), "the save is gone");
    if (result.exitCode != 0) {
        require(result.exitCode == 1 && *save == input && !backup && game.messages == 1,
                "a refused save with an exit code other than 1, changed, backed up, or without one message");
        return;
    }
    require(game.messages == 0 && backup == input, "a converted save with a message, or without its backup");
    if (game.installation.saveKind == SaveKind::Ess)
        requireWellFormed(*save);
    else
        requireWellFormedOpenMw(*save);
}

} // namespace
} // namespace orvella::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static orvella::fuzz::Game ess(orvella::SaveKind::Ess), openMw(orvella::SaveKind::OpenMw);
    const std::string input(reinterpret_cast<const char*>(data), size);
    orvella::fuzz::convert(size >= 20 && input.compare(16, 4, "FORM") == 0 ? openMw : ess, input,
                           size > 12 && (data[12] & 1) ? orvella::ItalianToEnglish
                                                       : orvella::EnglishToItalian);
    return 0;
}
