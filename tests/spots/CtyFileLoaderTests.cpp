#include <gtest/gtest.h>

#include "base/Ascii.h"
#include "spots/CCtyFileLoader.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WinTestSupport.h"

using namespace kv;

namespace {

const std::string kOneEntity = "France: 14: 27: EU: 46: -2: -1.0: F:\n F;\n";
const std::string kTwoEntities = kOneEntity + "Germany: 14: 28: EU: 51: -10: -1.0: DL:\n DL;\n";

class CtyFileLoaderTest : public ::testing::Test {
protected:
    test::CTempDir dir;
    std::shared_ptr<const CCtyTable> published;
    CCtyFileLoader loader{published};
    std::u16string text;

    std::u16string Folder() const { return dir.Path() + u"\\"; }
    std::u16string FileIn(const std::u16string& name) const { return dir.File(name); }
    CtyLoadResult Load() { return loader.Load(Folder(), text); }
    size_t Entities() const { return published ? published->Entities.size() : 0; }
};

FILETIME LastWriteTime(const std::u16string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(W(path), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

void SetLastWriteTime(const std::u16string& path, const FILETIME& time)
{
    HANDLE file = ::CreateFileW(W(path), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::SetFileTime(file, nullptr, nullptr, &time);
    ::CloseHandle(file);
}

// A good country file padded with a comment line to the given size.
std::string PaddedCountryFile(size_t size)
{
    std::string content = kOneEntity + "#";
    content.append(size - content.size() - 1, 'x');
    content += '\n';
    return content;
}

} // namespace

TEST_F(CtyFileLoaderTest, FileNamesInTheirOrder)
{
    ASSERT_TRUE(test::WriteFileBytes(FileIn(u"CTY.DAT"), kOneEntity));
    ASSERT_TRUE(test::WriteFileBytes(FileIn(u"CTY_QL.DAT"), kTwoEntities));
    EXPECT_EQ(Load(), CtyLoadResult::Loaded);
    EXPECT_EQ(text, FileIn(u"CTY_QL.DAT"));
    EXPECT_EQ(Entities(), 2u);
    ::CreateDirectoryW(W(FileIn(u"CTY_QL_MOD.DAT")), nullptr); // a folder of that name is no country file
    EXPECT_EQ(Load(), CtyLoadResult::Unchanged);
    ::RemoveDirectoryW(W(FileIn(u"CTY_QL_MOD.DAT")));
    ASSERT_TRUE(test::WriteFileBytes(FileIn(u"CTY_QL_MOD.DAT"), kOneEntity));
    EXPECT_EQ(Load(), CtyLoadResult::Loaded);
    EXPECT_EQ(text, FileIn(u"CTY_QL_MOD.DAT"));
    EXPECT_EQ(loader.RememberedPath(), FileIn(u"CTY_QL_MOD.DAT"));
    EXPECT_EQ(Entities(), 1u);
}

TEST_F(CtyFileLoaderTest, UnchangedFileIsNotReadAgain)
{
    const std::u16string path = FileIn(u"CTY.DAT");
    ASSERT_TRUE(test::WriteFileBytes(path, kOneEntity));
    ASSERT_EQ(Load(), CtyLoadResult::Loaded);
    const auto first = published;
    const FILETIME written = LastWriteTime(path);
    ASSERT_TRUE(test::WriteFileBytes(path, std::string(kOneEntity.size(), '#'))); // same size, same time
    SetLastWriteTime(path, written);
    EXPECT_EQ(Load(), CtyLoadResult::Unchanged);
    EXPECT_EQ(loader.Load(ToUpperAscii(Folder()), text), CtyLoadResult::Unchanged); // paths ignore case
    EXPECT_EQ(published, first);
}

TEST_F(CtyFileLoaderTest, EachFailureReportedOnceAndLastGoodTableKept)
{
    EXPECT_EQ(Load(), CtyLoadResult::NotFound);
    EXPECT_EQ(text, Folder());
    EXPECT_EQ(Load(), CtyLoadResult::Unchanged);

    const std::u16string path = FileIn(u"CTY.DAT");
    ASSERT_TRUE(test::WriteFileBytes(path, kTwoEntities));
    ASSERT_EQ(Load(), CtyLoadResult::Loaded);
    const auto good = published;

    ASSERT_TRUE(test::WriteFileBytes(path, "# nothing\n"));
    EXPECT_EQ(Load(), CtyLoadResult::Failed);
    EXPECT_EQ(text, path + u": line 1: no entity");
    EXPECT_EQ(Load(), CtyLoadResult::Unchanged);
    EXPECT_EQ(published, good);

    ::DeleteFileW(W(path));
    EXPECT_EQ(Load(), CtyLoadResult::NotFound);
    EXPECT_EQ(Load(), CtyLoadResult::Unchanged);
    EXPECT_EQ(published, good);
}

// A file that could not be opened must be read at the next check even when it looks unchanged then.
TEST_F(CtyFileLoaderTest, FileThatCouldNotBeOpenedIsReadNextTime)
{
    const std::u16string path = FileIn(u"CTY.DAT");
    ASSERT_TRUE(test::WriteFileBytes(path, kOneEntity));
    ASSERT_EQ(Load(), CtyLoadResult::Loaded);
    ASSERT_TRUE(test::WriteFileBytes(path, kTwoEntities));

    HANDLE lock = ::CreateFileW(W(path), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Load(), CtyLoadResult::Failed);
    EXPECT_EQ(text.rfind(path + u": ", 0), 0u);
    EXPECT_GT(text.size(), path.size() + 2);
    ::CloseHandle(lock);

    EXPECT_EQ(Load(), CtyLoadResult::Loaded);
    EXPECT_EQ(Entities(), 2u);
}

TEST_F(CtyFileLoaderTest, SixteenMebibytesAndOneByteMore)
{
    const std::u16string path = FileIn(u"CTY.DAT");
    ASSERT_TRUE(test::WriteFileBytes(path, PaddedCountryFile(CCtyFileLoader::kMaxFileSize)));
    EXPECT_EQ(Load(), CtyLoadResult::Loaded);
    ASSERT_TRUE(test::WriteFileBytes(path, PaddedCountryFile(CCtyFileLoader::kMaxFileSize + 1)));
    EXPECT_EQ(Load(), CtyLoadResult::Failed);
    EXPECT_EQ(text, path + u": file too large");
    EXPECT_EQ(Load(), CtyLoadResult::Unchanged);
    EXPECT_EQ(Entities(), 1u);
}

// Without a folder the loader reports it once and never looks in the current directory.
TEST_F(CtyFileLoaderTest, NoFolderIsNotTheCurrentDirectory)
{
    ASSERT_TRUE(test::WriteFileBytes(FileIn(u"CTY.DAT"), kOneEntity));
    wchar_t previous[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryW(W(dir.Path())));
    const CtyLoadResult first = loader.Load(u"", text);
    const CtyLoadResult second = loader.Load(u"", text);
    ::SetCurrentDirectoryW(previous);
    EXPECT_EQ(first, CtyLoadResult::NotFound);
    EXPECT_EQ(second, CtyLoadResult::Unchanged);
    EXPECT_EQ(text, u"");
    EXPECT_EQ(published, nullptr);
}

TEST_F(CtyFileLoaderTest, RealCountryFileAndProgramFolder)
{
    ASSERT_TRUE(test::WriteFileBytes(FileIn(u"CTY.DAT"), test::ReadWholeFile(test::SystemCtyDatPath())));
    EXPECT_EQ(Load(), CtyLoadResult::Loaded);
    EXPECT_EQ(Entities(), 340u);

    const std::u16string folder = GetCountryFilesFolder();
    const std::u16string tail = u":\\ProgramData\\Quarnel\\countryFiles\\";
    ASSERT_GT(folder.size(), tail.size());
    EXPECT_EQ(folder.substr(folder.size() - tail.size()), tail);
}
