// Both executables must carry the same version block: 1.5.0.0 in the fixed
// part and in the strings that Explorer shows. A 64-bit process reads the
// 32-bit executable's resources as well as its own.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

std::vector<char> ReadVersionBlock(const std::string& path)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, block.data()))
        block.clear();
    return block;
}

std::string ReadString(std::vector<char>& block, const char* name)
{
    const std::string query = std::string("\\StringFileInfo\\040904b0\\") + name;
    char* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
        return "(missing)";
    return value;
}

// The executables to check, from the command line.
std::vector<std::string> executables;

void ExpectVersionOnePointFive(const std::string& path)
{
    SCOPED_TRACE(path);
    std::vector<char> block = ReadVersionBlock(path);
    ASSERT_FALSE(block.empty()) << "no version block";

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(5, 1)), fixed->dwFileVersionMS);
    EXPECT_EQ(0u, fixed->dwFileVersionLS);
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(5, 1)), fixed->dwProductVersionMS);
    EXPECT_EQ(0u, fixed->dwProductVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);

    EXPECT_EQ("1, 5, 0, 0", ReadString(block, "FileVersion"));
    EXPECT_EQ("1, 5, 0, 0", ReadString(block, "ProductVersion"));
    EXPECT_EQ("Quorvantel", ReadString(block, "ProductName"));
    EXPECT_EQ("Quorvantel", ReadString(block, "InternalName"));
    EXPECT_EQ("Quorvantel.exe", ReadString(block, "OriginalFilename"));
}

}  // namespace

TEST(VersionBlock, EveryExecutableReadsOnePointFive)
{
    ASSERT_FALSE(executables.empty()) << "no executable named on the command line";
    for (const std::string& path : executables)
        ExpectVersionOnePointFive(path);
}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    executables.assign(argv + 1, argv + argc);
    return RUN_ALL_TESTS();
}
