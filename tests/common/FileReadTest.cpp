#include <ZqFileRead.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Turns openat2 off for this process, as an older kernel or a sandbox does.
bool withoutOpenat2()
{
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_openat2, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSYS),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

// How many of the folder's reads went otherwise than they should.
int wrongReads(const std::string& root)
{
    const std::pair<const char*, const char*> cases[] = {
        {"inside.txt", ""}, {"in-link.txt", ""}, {"in-folder/inside.txt", ""},
        {"out-link.txt", kZqLeadsOutside}, {"out-folder/outside.txt", kZqLeadsOutside},
        {"abs-link.txt", kZqAbsoluteLink}, {"abs-folder/inside.txt", kZqAbsoluteLink},
        {"to-abs-link.txt", kZqAbsoluteLink}, {"abs-out-link.txt", kZqLeadsOutside}};
    int wrong = 0;
    for (const auto& [name, refusal] : cases) {
        ZqFileBytes bytes;
        wrong += zqReadRegularFile(root + name, root, kZqMaxDataFileSize, bytes) != refusal;
    }
    return wrong;
}

// Where the kernel cannot resolve beneath the folder, the real path of the file opened
// decides, with the same outcome. An absolute link is never followed: one that stays inside
// is named as an absolute link (directly, as a folder on the way, or reached through a
// relative link), one that leads out as leading out.
TEST(FileReadTest, LinksOutOfTheFolderAreRefusedWithOrWithoutOpenat2)
{
    const fs::path dir = fs::temp_directory_path() / ("zq_fileread_" + std::to_string(getpid()));
    const std::string root = (dir / "game").string() + "/";
    fs::create_directories(root);
    std::ofstream(root + "inside.txt") << "in";
    std::ofstream((dir / "outside.txt").string()) << "out";
    fs::create_symlink("inside.txt", root + "in-link.txt");
    fs::create_symlink(".", root + "in-folder");
    fs::create_symlink("../outside.txt", root + "out-link.txt");
    fs::create_symlink(dir, root + "out-folder");
    fs::create_symlink(root + "inside.txt", root + "abs-link.txt");
    fs::create_symlink(root, root + "abs-folder");
    fs::create_symlink("abs-link.txt", root + "to-abs-link.txt");
    fs::create_symlink(dir / "outside.txt", root + "abs-out-link.txt");

    EXPECT_EQ(wrongReads(root), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        _exit(withoutOpenat2() ? wrongReads(root) : 100);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    fs::remove_all(dir);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 100)
        GTEST_SKIP() << "no seccomp filter can be installed here";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
