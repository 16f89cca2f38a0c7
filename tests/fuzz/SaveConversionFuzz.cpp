// Converts arbitrary bytes as a save against the demo game held in memory, to English when the lowest bit
// of the header record's flags is set and to Italian otherwise: the conversion never reads those flags, and
// one conversion per input runs twice as many inputs as two would. Whatever the bytes,
// the job ends with "OK" enabled; a refused save is left byte for byte with one message and nothing beside
// it; a converted one has the original as its backup and is itself a well-formed file of the record format.

#include "FuzzSupport.h"
#include "platform/MemoryFile.h"
#include "records/RecordStream.h"

#include <cstdint>
#include <string>

namespace orvella::fuzz {
namespace {

constexpr const char* SaveName = "Fuzz.ess";

struct Game {
    Game() : installation(test::installDemoGame(files)), empty(files.snapshot()) {}
    test::FaultInjectingFileSystem files;
    GameInstallation installation;
    test::FaultInjectingFileSystem::Snapshot empty;
};

void requireWellFormed(const std::string& bytes) {
    MemoryFile file(bytes);
    RecordStream stream(file, SaveName);
    std::int32_t count = 0;
    require(stream.readRecordCount(count), "a converted save without a record count");
    for (std::int64_t i = 0; i <= count; ++i) {
        auto record = stream.readRecord();
        require(record != nullptr, "a converted save that cannot be read back");
        require(sizeAddsUp(*record), "a converted record whose size does not add up");
        if (i == 0)
            require(record->tag().is("TES3") && record->subrecordCount() > 0 &&
                        record->subrecordAt(0).tag.is("HEDR") && record->subrecordAt(0).size() >= 300,
                    "a converted save without its header");
    }
    require(stream.atEnd(), "a converted save with bytes after its last record");
}

void convert(Game& game, const std::string& input, ConversionDirection direction) {
    const std::string savePath = test::savePath(game.installation, SaveName);
    game.files.restore(game.empty);
    game.files.writeFile(savePath, input);
    CountingMessages messages;
    WatchingProgress progress;
    PatchJob job = test::jobFor(game.installation, game.files, messages, progress, SaveName, direction);
    PatchResult result = runPatchJob(job);

    require(progress.finishedOnce, "a job that ends without telling its result");
    require(progress.outcome == result.outcomeText, "an outcome shown unlike the result");
    require(game.files.openHandles() == 0, "a file left open");
    require(!game.files.isFile(savePath + ".tmp"), "a temporary file left beside the save");
    std::optional<std::string> save = game.files.readFile(savePath);
    require(save.has_value(), "the save is gone");
    std::optional<std::string> backup = game.files.readFile(test::backupPath(game.installation, SaveName));
    if (result.exitCode != 0) {
        require(result.exitCode == 1, "an exit code other than 0 and 1");
        require(*save == input, "a refused save that changed");
        require(!backup, "a backup of a refused save");
        require(messages.shown == 1, "a refused save without exactly one message");
        return;
    }
    require(messages.shown == 0, "a message after a conversion");
    require(backup && *backup == input, "a converted save whose backup is not the original");
    requireWellFormed(*save);
}

} // namespace
} // namespace orvella::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvella;
    static fuzz::Game game;
    const std::string input(reinterpret_cast<const char*>(data), size);
    fuzz::convert(game, input, size > 12 && (data[12] & 1) ? ItalianToEnglish : EnglishToItalian);
    return 0;
}
