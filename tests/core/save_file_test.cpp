#include "core/save_file.h"

#include <gtest/gtest.h>

#include <tuple>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace hc {
namespace {

namespace fs = std::filesystem;

const std::vector<SaveLine> Lines = {{"money", "1234"}, {"date", "2024-05-01 and more"}, {"wear", "0.25"}};

std::string slurp(const fs::path& path) { std::ifstream in(path, std::ios::binary); return {std::istreambuf_iterator<char>(in), {}}; }

TEST(SaveText, ReadsBackWhatItWroteAndRefusesEveryDamagedText) {
    EXPECT_EQ(crc32("123456789"), 0xCBF43926u);
    const std::string text = formatSaveText("career", 1, Lines);
    EXPECT_EQ(text.substr(0, 35), "hazardcab career 1\nmoney 1234\ndate ");
    std::vector<SaveLine> back;
    std::string reason;
    ASSERT_TRUE(parseSaveText(text, "career", 1, back, reason)) << reason;
    ASSERT_EQ(back.size(), Lines.size());
    for (size_t i = 0; i < Lines.size(); ++i) EXPECT_EQ(std::tuple(back[i].key, back[i].value), std::tuple(Lines[i].key, Lines[i].value));
    // An older format is still read; no final line end is forgiven.
    EXPECT_TRUE(parseSaveText(formatSaveText("career", 1, Lines), "career", 2, back, reason));
    EXPECT_TRUE(parseSaveText(text.substr(0, text.size() - 1), "career", 1, back, reason));
    // Every cut short, and every byte changed, is caught.
    for (size_t n = 0; n + 1 < text.size(); ++n) {
        EXPECT_FALSE(parseSaveText(text.substr(0, n), "career", 1, back, reason)) << n;
        std::string flipped = text;
        flipped[n] ^= 0x20;
        EXPECT_FALSE(parseSaveText(flipped, "career", 1, back, reason)) << n;
    }
    // Only a header of this kind above the newest format is a newer game's file, whatever
    // follows it: such a file is left alone rather than set aside.
    const struct { std::string text; const char* reason; bool newer; } cases[] = {
        {"", "the file is empty", false},
        {"hazardcab career 1\nmoney 5\n", "it is cut short (no checksum line at the end)", false},
        {formatSaveText("career", 2, Lines), "it was written by a newer version of the game (format 2)", true},
        {"hazardcab career 12\nsum 0\n", "it was written by a newer version of the game (format 12)", true},
        {formatSaveText("career", 0, Lines), "its version line is unreadable", false},
        {formatSaveText("career", 1, {}) + "money 5\n", "it is cut short (no checksum line at the end)", false},
        {formatSaveText("settings", 2, Lines), "it is not a career file", false},
        {formatSaveText("career", 1, {{"money", ""}}), "a line has no value: \"money \"", false},
        {std::string("hazardcab career 1\n\0\0\0\nchecksum 00000000\n", 41), "its checksum does not match its contents", false},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(parseSaveText(c.text, "career", 1, back, reason)) << c.text;
        EXPECT_EQ(reason, c.reason) << c.text;
        EXPECT_EQ(isNewerSaveText(c.text, "career", 1), c.newer) << c.text;
    }
}

// A scratch folder; the save goes to career.txt in it.
class SaveWrite : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("hc-savefile-" + std::to_string(::getpid()));
    std::string path = (dir / "career.txt").string(), reason;
    void SetUp() override { fs::remove_all(dir), fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    long files() const { return std::distance(fs::directory_iterator(dir), fs::directory_iterator()); }
};

TEST_F(SaveWrite, ReplacesTheFileAndLeavesNothingElse) {
    ASSERT_TRUE(makeFolders((dir / "a" / "b").string(), reason)) << reason;
    ASSERT_TRUE(writeFileAtomically(path, "one", reason)) << reason;
    ASSERT_TRUE(writeFileAtomically(path, "two", reason)) << reason;
    EXPECT_EQ(files(), 2);  // the file and the folder a
    std::string text;
    EXPECT_EQ((std::tuple{readSmallFile(path, text, reason), text}), std::tuple(FileRead::Read, "two"));
    EXPECT_EQ(readSmallFile(path + ".none", text, reason), FileRead::Missing);
}

// Whatever sits at the path, the answer comes at once and nothing beyond the bound is read.
TEST_F(SaveWrite, OnlyARegularFileWithinItsBoundIsRead) {
    std::ofstream(dir / "small") << "abc";
    std::ofstream(dir / "huge") << std::string(70 * 1024, 'x');
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    fs::create_symlink(dir / "small", dir / "link");
    const struct { fs::path path; uint64_t bound; FileRead status; const char* text; const char* reason; } cases[] = {
        {dir / "small", 3, FileRead::Read, "abc", ""},
        {dir / "link", 3, FileRead::Read, "abc", ""},  // a link to a regular file is that file
        {dir / "small", 2, FileRead::TooLarge, "", "it is larger than 2 bytes"},
        {dir / "none", 3, FileRead::Missing, "", ""},
        {dir / "small" / "below", 3, FileRead::Missing, "", ""},
        {dir / "fifo", 3, FileRead::NotRegular, "", "it is not a regular file"},  // never waits for a writer
        {dir, 3, FileRead::NotRegular, "", "it is not a regular file"},
        {"/dev/zero", 3, FileRead::NotRegular, "", "it is not a regular file"},
    };
    for (const auto& c : cases) {
        std::string text = "old", why;
        EXPECT_EQ(readRegularFile(c.path.string(), c.bound, text, why), c.status) << c.path;
        EXPECT_EQ(text, c.text) << c.path;
        EXPECT_EQ(why, c.reason) << c.path;
    }
    std::string text, why;
    EXPECT_EQ((std::tuple{readSmallFile((dir / "huge").string(), text, why), why}), std::tuple(FileRead::TooLarge, "it is larger than 65536 bytes"));
}

TEST_F(SaveWrite, AFolderThatCannotBeMadeOrWrittenFailsWithAReason) {
    // A file where the folder, or one of its parents, should be: this stops root too.
    std::ofstream(path) << "x";
    EXPECT_EQ((std::tuple{makeFolders(path, reason), reason}), std::tuple(false, path + " is not a folder"));
    EXPECT_EQ((std::tuple{makeFolders("", reason), reason}), std::tuple(false, "no folder"));  // never the working directory
    EXPECT_FALSE(makeFolders(path + "/sub", reason));
    for (const std::string& target : {path + "/career.txt", (dir / "none" / "career.txt").string()}) EXPECT_FALSE(writeFileAtomically(target, "x", reason)) << target;
    if (::geteuid() != 0) {
        fs::create_directory(dir / "locked");
        fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(writeFileAtomically((dir / "locked" / "career.txt").string(), "x", reason));
    }
}

// A full disk (a file size limit fails the write as one does, for root as well), or a
// kill with the new file written and flushed but not renamed: the old file stays whole.
TEST_F(SaveWrite, AFullDiskOrAKillKeepsTheOldFileWhole) {
    const std::string old = formatSaveText("career", 1, Lines);
    ASSERT_TRUE(writeFileAtomically(path, old, reason));
    rlimit saved{}, small{};
    std::signal(SIGXFSZ, SIG_IGN), getrlimit(RLIMIT_FSIZE, &saved), small = saved, small.rlim_cur = 4, setrlimit(RLIMIT_FSIZE, &small);
    const bool wrote = writeFileAtomically(path, old + "longer", reason);
    setrlimit(RLIMIT_FSIZE, &saved), std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(wrote);
    EXPECT_EQ(std::tuple(slurp(path), files()), std::tuple(old, 1));
#if GTEST_HAS_DEATH_TEST  // the browser edition's tests run without death tests
    EXPECT_EXIT(
        {
            setSaveRenameHook([](const std::string&) { ::raise(SIGKILL); });
            writeFileAtomically(path, formatSaveText("career", 1, {{"money", "99"}}), reason);
            std::_Exit(0);
        },
        ::testing::KilledBySignal(SIGKILL), "");
#endif
    EXPECT_EQ(slurp(path), old);
}

// The temporary file is made afresh, never opened through whatever sits at its name,
// and only a regular file (or nothing) at the path is replaced.
TEST_F(SaveWrite, TheTemporaryFileIsNeverALinkAndOnlyAFileIsReplaced) {
    const std::string temp = path + "." + std::to_string(::getpid()) + ".tmp";
    std::ofstream(dir / "target") << "theirs";
    fs::create_symlink(dir / "target", temp);
    ASSERT_TRUE(writeFileAtomically(path, "ours", reason)) << reason;
    EXPECT_EQ(std::tuple(slurp(dir / "target"), slurp(path), fs::is_symlink(temp)), std::tuple("theirs", "ours", false));
    // Something other than a file at the path is left as it is.
    const std::string fifo = (dir / "fifo").string(), folder = (dir / "folder").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directory(folder);
    for (const std::string& other : {fifo, folder}) {
        EXPECT_FALSE(writeFileAtomically(other, "ours", reason)) << other;
        EXPECT_EQ(reason, other + " is not a regular file");
    }
    EXPECT_EQ(std::tuple(fs::is_fifo(fifo), fs::is_directory(folder), fs::is_empty(folder)), std::tuple(true, true, true));
}

TEST_F(SaveWrite, OnlyTheFilesTemporaryFilesAreRemovedAsStale) {
    const struct { const char* name; bool removed; } cases[] = {
        {"career.txt.123.tmp", true}, {"career.txt.7.tmp", true},      {"career.txt.tmp", false},
        {"career.txt.12a.tmp", false}, {"career.txt.123.tmp~", false}, {"other.txt.123.tmp", false},
        {"xcareer.txt.5.tmp", false},  {"career.txt", false},
    };
    // In a folder named by one letter, the path taken from the working folder.
    const fs::path a = dir / "a", was = fs::current_path();
    fs::create_directory(a), fs::current_path(dir);
    for (const auto& c : cases) std::ofstream(a / c.name) << "x";
    fs::create_directory(a / "career.txt.9.tmp");  // a folder is never removed
    EXPECT_EQ(std::tuple(removeStaleTemporaryFiles("a/career.txt"), removeStaleTemporaryFiles("none/career.txt")), std::tuple(2, 0))
        << "in a; in a folder that cannot be opened";
    fs::current_path(was);
    for (const auto& c : cases) EXPECT_EQ(fs::exists(a / c.name), !c.removed) << c.name;
    EXPECT_TRUE(fs::is_directory(a / "career.txt.9.tmp"));
}

// One holder at a time, even two in one process; the lock goes with the holder, however
// it ends; a lock file that is not a file fails at once.
TEST_F(SaveWrite, AFolderHasOneLockHolderAtATime) {
    const std::string folder = dir.string();
    FolderLock first, second;
    EXPECT_EQ(first.take(folder, reason), LockResult::Held);
    EXPECT_EQ((std::tuple{second.take(folder, reason), second.held()}), std::tuple(LockResult::Busy, false));
    first = FolderLock{};
    EXPECT_EQ(second.take(folder, reason), LockResult::Held);
    second.release();
    const pid_t child = ::fork();
    if (child == 0) {
        FolderLock held;
        std::_Exit(held.take(folder, reason) == LockResult::Held ? 0 : 1);  // ends holding it
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(first.take(folder, reason), LockResult::Held);
    first.release(), fs::remove(dir / LockFileName);
    ASSERT_EQ(::mkfifo((dir / LockFileName).c_str(), 0600), 0);
    EXPECT_EQ((std::tuple{first.take(folder, reason), reason}), std::tuple(LockResult::Failed, (dir / LockFileName).string() + " is not a regular file"));
}

TEST_F(SaveWrite, SettingAsideNeverReplacesAnEarlierCopy) {
    for (const char* expected : {"career.txt.bad", "career.txt.bad2", "career.txt.bad3"}) {
        std::ofstream(path) << expected;
        EXPECT_EQ(setFileAside(path, reason), (dir / expected).string());
        EXPECT_EQ(slurp(dir / expected), expected);
    }
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(setFileAside(path, reason), "");
}

}  // namespace
}  // namespace hc
