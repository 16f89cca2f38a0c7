#include "ScanHarness.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using build::RecordBuilder;
using test::everyKindOfRecord;
using test::masterFile;
using test::pluginFile;

struct ScanFaults : testing::Test {
    test::ScanHarness harness;
    const std::string master = everyKindOfRecord(masterFile()).bytes();

    // The scan of a malformed file fails its own pass and names the file and the offset in an error message.
    void expectFailure(ScanPass pass, const std::string& fileName, const std::string& what) {
        const ScanError& error = harness.error;
        EXPECT_EQ(error.pass, pass) << what;
        EXPECT_EQ(error.icon, MessageIcon::Error);
        EXPECT_NE(error.message.find("\"" + fileName + "\""), std::string::npos) << error.message;
        EXPECT_NE(error.message.find("offset "), std::string::npos) << error.message;
        EXPECT_FALSE(harness.progress.told(pass == MasterPass ? "masters done" : "plugins done")) << what;
    }
    void expectMasterFails(const std::string& bytes, const std::string& what) {
        harness.write(MorrowindMasterName, bytes);
        ASSERT_FALSE(harness.scan()) << what;
        expectFailure(MasterPass, MorrowindMasterName, what);
        EXPECT_FALSE(harness.progress.toldOf(PluginPass)) << what;
    }
};

TEST_F(ScanFaults, AMasterCutAnywhereOrWithInconsistentSizesFailsTheMasterBar) {
    harness.writeBase();
    for (std::size_t cut = 0; cut < master.size(); ++cut)
        expectMasterFails(master.substr(0, cut), "cut at " + std::to_string(cut));

    const std::size_t gmst = masterFile().headerRecord().bytes().size();
    auto with = [&](std::size_t offset, std::uint32_t value) {
        return std::string(master).replace(offset, 4, build::u32(value));
    };
    expectMasterFails(with(320, 0xFFFFFFFF), "negative count");
    expectMasterFails(with(320, 0x7FFFFFFF), "largest count");
    expectMasterFails(with(gmst + 4, 0x80000000), "negative record size");
    expectMasterFails(with(gmst + 4, 0x7FFFFFF0), "record size past the end");
    expectMasterFails(with(gmst + 20, 200), "subrecord size past its record");
    expectMasterFails(with(gmst + 20, 0xFFFFFFF0), "negative subrecord size");
}

TEST_F(ScanFaults, ABadPluginFailsThePluginBarAfterTheMastersSucceeded) {
    const std::string plugin = everyKindOfRecord(pluginFile()).bytes();
    harness.writeBase(everyKindOfRecord(masterFile()));
    harness.write(MorrowindPluginName, plugin.substr(0, plugin.size() - 5));
    ASSERT_FALSE(harness.scan());
    EXPECT_TRUE(harness.progress.told("masters done"));
    expectFailure(PluginPass, MorrowindPluginName, "plugin");
}

} // namespace
} // namespace orvella
