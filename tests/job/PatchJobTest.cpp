#include "DemoJob.h"
#include "app/SaveClassification.h"
#include "records/Bytes.h"

#include <functional>
#include <gtest/gtest.h>
#include <tuple>

namespace orvella {
namespace {

using build::RecordBuilder;

const std::string FullLog = "File di Log per Save1.ess\r\n\r\n- TOPIC SEGNATI COME \"DELETED\" -\r\n\r\nold "
                            "rumour\r\n\r\n- MONI QUEST NON TROVATI -\r\n\r\nNome Quest: A quest\r\n";

std::size_t sizeAt(const std::string& bytes, std::size_t offset) {
    return loadU32(reinterpret_cast<const std::uint8_t*>(bytes.data()) + offset);
}

std::string setI32(std::string bytes, std::size_t offset, std::int64_t value) {
    return bytes.replace(offset, 4, build::u32(static_cast<std::uint32_t>(value)));
}

// A save whose HEDR has the given size, with the count at offset 320 when it reaches that far, and the record
// given (by default an item without a name, which the save's items pass over).
std::string saveWithHedrOf(std::size_t size, std::uint32_t count = 1,
                           const std::string& record = RecordBuilder("MISC").text("NAME", "gold").bytes()) {
    std::string hedr = std::string(320 - 24, '\0') + build::u32(count);
    hedr.resize(size);
    return RecordBuilder("TES3").sub("HEDR", hedr).bytes() + record;
}

struct PatchJobTest : testing::Test, test::JobHarness {
    const std::string name = "Save1.ess", log = save(name) + ".log";
    const std::string backup = SavePaths(installation, name).backup;

    // The job told the user once, why, and still finished its last stage, leaving nothing temporary.
    void expectRefused(const PatchResult& result, const std::string& fragment, MessageIcon icon) {
        EXPECT_EQ(std::tie(result.exitCode, result.outcomeText),
                  std::make_tuple(1u, std::string("Patch non effettuata con successo")));
        ASSERT_EQ(messages.shown.size(), 1u);
        const Message& message = messages.shown[0];
        EXPECT_NE(message.text.find(fragment), std::string::npos) << message.text;
        EXPECT_TRUE(message.icon == icon && !message.owner) << message.text;
        EXPECT_TRUE(progress.saw("image finalising ok") && progress.calls.back() == "finished" &&
                    !files.isFile(save(name) + ".tmp") && !files.isFile(backup + ".tmp"));
    }
};

// Whatever stops the job leaves the save, twice over, and keeps the log only once the handlers wrote to it.
TEST_F(PatchJobTest, EachObstacleStopsTheJobWithItsMessageLeavingTheSave) {
    files.writeFile(save(name), test::PlainSave);
    const auto initial = files.snapshot();
    const struct {
        std::function<void(PatchJobTest&)> arrange;
        const char* fragment;
        MessageIcon icon;
        std::optional<std::string> log;
        bool backedUp = false;
    } cases[] = {
        {[](PatchJobTest& t) { t.files.deleteFile(t.save(t.name)); }, "aprire il salvataggio",
         MessageIcon::Error, std::nullopt},
        // Chosen as Italian, the save is English by the time the job takes it; or it uses Tribunal by then.
        {[](PatchJobTest& t) { t.classifyAgain = classifySave; }, "in uso da un'altra conversione",
         MessageIcon::Warning, std::nullopt},
        {[](PatchJobTest& t) {
             t.classifyAgain = [](FileSystem&, const GameInstallation&, const std::string&) {
                 SaveInfo now = test::saveInfoFor(ItalianToEnglish);
                 now.used(Game::Tribunal).master = true;
                 return std::optional(now);
             };
         },
         "in uso da un'altra conversione", MessageIcon::Warning, std::nullopt},
        {[](PatchJobTest& t) { t.files.addFolder(t.log); }, "file di log", MessageIcon::Error, std::nullopt},
        {[](PatchJobTest& t) { t.files.addFolder(t.save(t.name) + ".tmp"); }, "files temporanei",
         MessageIcon::Error, "File di Log per Save1.ess\r\n"},
        // Only the longest path the job forms, the backup's temporary name, is one byte too long: the save is
        // there, and the game's files where they were.
        {[](PatchJobTest& t) {
             t.installation.installPath = "C:\\" + std::string(PathLimit - 38, 'x');
             t.installation.dataFiles =
                 DataFiles::inFolders(t.files, {test::InMemoryGame + std::string("\\Data Files")});
             t.files.writeFile(t.save(t.name), test::PlainSave);
         },
         "\\LRK Saves Backup\\Save1.ess.bak.tmp\" \xE8 troppo lungo", MessageIcon::Warning, std::nullopt},
        {[&](PatchJobTest& t) {
             auto noBackupFolder = initial;
             noBackupFolder.erase(t.files.key(t.installation.installPath + BackupFolder));
             t.files.restore(noBackupFolder);
         },
         "backup", MessageIcon::Warning, FullLog},
        {[](PatchJobTest& t) { t.files.failEvery(test::FileCall::Replace, "Save1.ess.tmp"); },
         "sovrascrivere il file del salvataggio", MessageIcon::Warning, FullLog, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fragment);
        files.restore(initial);
        files.countOnly();
        classifyAgain = nullptr;
        installation.installPath = test::InMemoryGame;
        installation.dataFiles = {};
        c.arrange(*this);
        const auto before = files.snapshot();
        for (int attempt = 0; attempt < 2; ++attempt) {
            expectRefused(run(name, ItalianToEnglish), c.fragment, c.icon);
            EXPECT_EQ(std::make_tuple(files.readFile(save(name)).value_or(test::PlainSave),
                                      files.readFile(log), files.isFile(backup), progress.result->logOffered),
                      std::make_tuple(test::PlainSave, c.log, c.backedUp, false));
            EXPECT_TRUE(c.log || files.matches(before)) << "the job wrote";
        }
    }
}

// Each damaged save is refused with one message naming it and, when given, its fault, and stays as it was.
TEST_F(PatchJobTest, EachCutMiscountedLengthenedOrMalformedSaveIsRefusedNamingItsFault) {
    const std::string& plain = test::PlainSave;
    std::vector<std::pair<std::string, std::string>> cases;
    for (std::size_t at = 0; at + 16 <= plain.size(); at += 16 + sizeAt(plain, at + 4))
        for (std::size_t cut : {at, at + 3, at + 15, at + 17, at + 29})
            if (cut < plain.size())
                cases.emplace_back(plain.substr(0, cut), "");
    cases.emplace_back(plain.substr(0, plain.size() - 3), "offset");
    for (std::uint32_t count : {0u, 1u, 2u, 4u, 1000u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu})
        cases.emplace_back(setI32(plain, 320, count), "");
    const std::size_t npc = 16 + sizeAt(plain, 4);
    cases.insert(
        cases.end(),
        {{plain + "GARBAGE", ""},
         {std::string(plain).replace(0, 4, "TES4"), "TES3.\nRecord TES4 (n. 0), offset 0."},
         {std::string(plain).replace(16, 4, "HEAD"), "HEDR.\nRecord TES3 (n. 0), offset 0."},
         {std::string(400, 'x'), "non \xE8 valido"},
         {saveWithHedrOf(299), "300 byte.\nRecord TES3 (n. 0), sottorecord HEDR, offset 16."},
         {RecordBuilder("TES3").bytes() + RecordBuilder("NPC_").sub("FNAM", std::string(400, 'x')).bytes(),
          "HEDR"},
         {setI32(plain, npc + 4, -5), "dimensione del record negativa"},
         {setI32(plain, npc + 16 + 4, 200), "supera la fine del record"},
         {setI32(plain, npc + 16 + 4, -2), "dimensione del sottorecord negativa"}});
    // The well-formed counterpart of the HEDR case is accepted, so the refusal is the HEDR's doing; the
    // count, the header's last bytes, is lowered when the only other record is dropped.
    EXPECT_EQ(convert(name, saveWithHedrOf(300), ItalianToEnglish), saveWithHedrOf(300));
    files.deleteFile(backup);
    const std::string deletedTopic = RecordBuilder("DIAL")
                                         .text("NAME", "old rumour")
                                         .sub("DATA", std::string(1, '\0'))
                                         .sub("DELE", "")
                                         .bytes();
    EXPECT_EQ(convert(name, saveWithHedrOf(300, 1, deletedTopic), ItalianToEnglish),
              saveWithHedrOf(300, 0, ""));
    files.deleteFile(backup);
    for (const auto& [bytes, problem] : cases) {
        SCOPED_TRACE(std::to_string(bytes.size()) + " bytes, " + problem);
        EXPECT_TRUE(convert(name, bytes, ItalianToEnglish) == bytes);
        expectRefused(result, problem, MessageIcon::Error);
        EXPECT_TRUE(messages.shown.empty() || messages.shown[0].text.find(name) != std::string::npos);
        EXPECT_FALSE(files.isFile(backup));
    }
}

// The save stays held from the job's start to its end, even after the new save has taken its place.
TEST_F(PatchJobTest, ASecondJobOnTheSaveWhileTheFirstHoldsItFailsAtOnceWritingNothing) {
    for (const char* bar : {"bar reading", "bar finalising"}) {
        SCOPED_TRACE(bar);
        files.writeFile(save(name), test::PlainSave);
        bool wroteNothing = false;
        PatchResult second;
        // The first job's dialog starts the second job when the first moves the bar.
        test::RecordingProgress holder;
        holder.through = [&](const std::function<void()>& call) {
            call();
            if (second.outcomeText.empty() && holder.calls.back().starts_with(bar)) {
                const auto before = files.snapshot();
                second = run(name, ItalianToEnglish);
                wroteNothing = files.matches(before);
            }
        };
        test::RecordingMessageBoxes firstMessages;
        const PatchJob first =
            test::jobFor(installation, files, firstMessages, holder, name, ItalianToEnglish);
        EXPECT_TRUE(runPatchJob(first).exitCode == 0 && firstMessages.shown.empty());
        expectRefused(second, "in uso da un'altra conversione", MessageIcon::Warning);
        EXPECT_TRUE(wroteNothing) << "the second job wrote while the first held the save";
        EXPECT_EQ(files.readFile(backup), test::PlainSave);
    }
}

} // namespace
} // namespace orvella
