// The save files' text format and their crash-proof writes.
#include "core/save_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace hc {
namespace {

namespace fs = std::filesystem;

const std::vector<SaveLine> Lines = {{"money", "1234"}, {"date", "2024-05-01 and more"}, {"wear", "0.25"}};

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct ScratchFolder {
    fs::path path;
    ScratchFolder() {
        std::string name = (fs::temp_directory_path() / "hc-savefile-XXXXXX").string();
        path = ::mkdtemp(name.data()) ? name : "/dev/null";
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

TEST(SaveText, ReadsBackExactlyWhatItWrote) {
    EXPECT_EQ(crc32("123456789"), 0xCBF43926u);
    const std::string text = formatSaveText("career", 1, Lines);
    EXPECT_EQ(text.substr(0, 35), "hazardcab career 1\nmoney 1234\ndate ");
    std::vector<SaveLine> back;
    std::string reason;
    ASSERT_TRUE(parseSaveText(text, "career", 1, back, reason)) << reason;
    ASSERT_EQ(back.size(), Lines.size());
    for (size_t i = 0; i < Lines.size(); ++i) {
        EXPECT_EQ(back[i].key, Lines[i].key);
        EXPECT_EQ(back[i].value, Lines[i].value);
    }
    // An older format is still read; no final line end is forgiven.
    EXPECT_TRUE(parseSaveText(formatSaveText("career", 1, Lines), "career", 2, back, reason));
    EXPECT_TRUE(parseSaveText(text.substr(0, text.size() - 1), "career", 1, back, reason));
}

TEST(SaveText, RefusesEveryDamagedText) {
    const std::string good = formatSaveText("career", 1, Lines);
    std::vector<SaveLine> back;
    std::string reason;
    // Every cut short, and every byte changed, is caught.
    for (size_t n = 0; n + 1 < good.size(); ++n) {
        EXPECT_FALSE(parseSaveText(good.substr(0, n), "career", 1, back, reason)) << n;
        std::string flipped = good;
        flipped[n] ^= 0x20;
        EXPECT_FALSE(parseSaveText(flipped, "career", 1, back, reason)) << n;
    }
    struct Case {
        std::string text;
        const char* reason;
    };
    const Case cases[] = {
        {"", "the file is empty"},
        {"hazardcab career 1\nmoney 5\n", "it is cut short (no checksum line at the end)"},
        {formatSaveText("career", 2, Lines), "it was written by a newer version of the game (format 2)"},
        {formatSaveText("career", 0, Lines), "its version line is unreadable"},
        {formatSaveText("career", 1, {}) + "money 5\n", "it is cut short (no checksum line at the end)"},
        {formatSaveText("settings", 1, Lines), "it is not a career file"},
        {formatSaveText("career", 1, {{"money", ""}}), "a line has no value: \"money \""},
        {std::string("hazardcab career 1\n\0\0\0\nchecksum 00000000\n", 41), "its checksum does not match its contents"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(parseSaveText(c.text, "career", 1, back, reason)) << c.text;
        EXPECT_EQ(reason, c.reason) << c.text;
    }
}

TEST(SaveWrite, ReplacesTheFileAndLeavesNothingElse) {
    ScratchFolder scratch;
    const fs::path folder = scratch.path / "a" / "b";
    std::string reason;
    ASSERT_TRUE(makeFolders(folder.string(), reason)) << reason;
    const std::string path = (folder / "career.txt").string();
    ASSERT_TRUE(writeFileAtomically(path, "one", reason)) << reason;
    ASSERT_TRUE(writeFileAtomically(path, "two", reason)) << reason;
    EXPECT_EQ(slurp(path), "two");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);

    std::string text;
    EXPECT_EQ(readSmallFile(path, text, reason), FileRead::Read);
    EXPECT_EQ(text, "two");
    EXPECT_EQ(readSmallFile(path + ".none", text, reason), FileRead::Missing);
    EXPECT_EQ(readSmallFile(folder.string(), text, reason), FileRead::Failed);  // a folder
    std::ofstream(folder / "huge") << std::string(70 * 1024, 'x');
    EXPECT_EQ(readSmallFile((folder / "huge").string(), text, reason), FileRead::Failed);
    EXPECT_EQ(reason, "it is far too large");
}

TEST(SaveWrite, AFolderThatCannotBeMadeOrWrittenFailsWithAReason) {
    ScratchFolder scratch;
    std::ofstream(scratch.path / "file") << "x";
    std::string reason;
    // A file where the folder, or one of its parents, should be: this stops root too.
    EXPECT_FALSE(makeFolders((scratch.path / "file").string(), reason));
    EXPECT_EQ(reason, (scratch.path / "file").string() + " is not a folder");
    EXPECT_FALSE(makeFolders((scratch.path / "file" / "sub").string(), reason));
    EXPECT_FALSE(writeFileAtomically((scratch.path / "file" / "career.txt").string(), "x", reason));
    EXPECT_FALSE(writeFileAtomically((scratch.path / "none" / "career.txt").string(), "x", reason));
    if (::geteuid() != 0) {
        fs::create_directory(scratch.path / "locked");
        fs::permissions(scratch.path / "locked", fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(writeFileAtomically((scratch.path / "locked" / "career.txt").string(), "x", reason));
    }
}

TEST(SaveWrite, AFullDiskKeepsTheOldFileWhole) {
    ScratchFolder scratch;
    const std::string path = (scratch.path / "career.txt").string();
    std::string reason;
    ASSERT_TRUE(writeFileAtomically(path, "old save", reason));
    // A file size limit fails the write as a full disk does, for root as well.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool wrote = writeFileAtomically(path, "a new save, longer", reason);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(wrote);
    EXPECT_EQ(slurp(path), "old save");
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path), fs::directory_iterator()), 1);
}

TEST(SaveWrite, AKillBeforeTheRenameLeavesTheOldFileReadable) {
    ScratchFolder scratch;
    const std::string path = (scratch.path / "career.txt").string();
    const std::string old = formatSaveText("career", 1, Lines);
    std::string reason;
    ASSERT_TRUE(writeFileAtomically(path, old, reason));
    // The child process is killed with its new file written and flushed, not renamed.
    EXPECT_EXIT(
        {
            setSaveRenameHook([](const std::string&) { ::raise(SIGKILL); });
            writeFileAtomically(path, formatSaveText("career", 1, {{"money", "99"}}), reason);
            std::_Exit(0);
        },
        ::testing::KilledBySignal(SIGKILL), "");
    std::vector<SaveLine> back;
    EXPECT_EQ(slurp(path), old);
    EXPECT_TRUE(parseSaveText(slurp(path), "career", 1, back, reason));
}

TEST(SaveAside, NeverReplacesAnEarlierCopy) {
    ScratchFolder scratch;
    const fs::path path = scratch.path / "career.txt";
    std::string reason;
    for (const char* expected : {"career.txt.bad", "career.txt.bad2", "career.txt.bad3"}) {
        std::ofstream(path) << expected;
        EXPECT_EQ(setFileAside(path.string(), reason), (scratch.path / expected).string());
        EXPECT_EQ(slurp(scratch.path / expected), expected);
    }
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(setFileAside(path.string(), reason), "");
}

}  // namespace
}  // namespace hc
