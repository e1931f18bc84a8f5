#include <gtest/gtest.h>

#include "tests/support/WinTestSupport.h"
#include "win/IniFile.h"

using namespace kv;
using kv::test::CTempDir;

class IniFileTest : public testing::Test {
protected:
    CTempDir dir;
    CIniFile ini{dir.File(u"settings.ini")};
};

TEST_F(IniFileTest, MissingKeyIsToldFromEmptyKey)
{
    EXPECT_FALSE(ini.Read(u"General", u"Absent").has_value());
    ASSERT_TRUE(ini.Write(u"General", u"Empty", u""));
    const auto empty = ini.Read(u"General", u"Empty");
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(*empty, u"");
    EXPECT_FALSE(ini.Read(u"General", u"Absent").has_value());
    EXPECT_FALSE(ini.Read(u"NoSuchSection", u"Empty").has_value());
}

TEST_F(IniFileTest, LongValuesAndQuotedValuesReadBackExactly)
{
    std::u16string longValue;
    for (int i = 0; i < 10000; ++i) longValue.push_back(char16_t(u'A' + i % 26));
    ASSERT_TRUE(ini.Write(u"S", u"Long", longValue));
    EXPECT_EQ(ini.Read(u"S", u"Long"), longValue);

    const std::u16string quoted = u"\"a\", \"b\"";
    ASSERT_TRUE(ini.Write(u"S", u"Quoted", quoted));
    EXPECT_EQ(ini.Read(u"S", u"Quoted"), quoted);
    ASSERT_TRUE(ini.Write(u"S", u"Words", u"\"QRT\", \"CQ TEST\""));
    EXPECT_EQ(ini.Read(u"S", u"Words"), u"\"QRT\", \"CQ TEST\"");
    ASSERT_TRUE(ini.Write(u"S", u"Half", u"\"only at the start"));
    EXPECT_EQ(ini.Read(u"S", u"Half"), u"\"only at the start");
}

TEST_F(IniFileTest, BlanksOrQuotesAtEitherEndOfAValueReadBackExactly)
{
    // Blanks (tabs, form feeds and ^Z too, maybe the Unicode blanks on Windows) and a pair of single or double
    // quotes around a value are dropped on read; a value long enough to be cut at the first buffer size loses
    // a character there when its quotes are dropped.
    const std::u16string values[] = {u"'secret'", u"''", u"\"\"", u"'", u"\"", u"'a\"", u" 'padded' ",
                                     u"\t\"QRT\" ", u"'at start", u"at end\"", u"'" + std::u16string(1022, u'x'),
                                     u"pass word ", u" pass word", u"   ", u"\tx", u"x\t", u"\x0Bx\x0C", u"\x1A" u"x",
                                     u"x\u00A0", u"\u3000x"};
    for (const auto& value : values) {
        ASSERT_TRUE(ini.Write(u"Connection.1", u"Password", value));
        EXPECT_EQ(ini.Read(u"Connection.1", u"Password"), value);
    }
    // What earlier versions wrote reads as it always did.
    const CIniFile earlier(dir.File(u"earlier.ini"));
    ASSERT_TRUE(test::WriteFileBytes(earlier.Path(), "[S]\r\nWords=\"\"QRT\", \"CQ\"\"\r\nPassword='p'\r\n"
                                                     "Login= k1abc \r\nName=\" Joe \"\r\n"));
    EXPECT_EQ(earlier.Read(u"S", u"Words"), u"\"QRT\", \"CQ\"");
    EXPECT_EQ(earlier.Read(u"S", u"Password"), u"p");
    EXPECT_EQ(earlier.Read(u"S", u"Login"), u"k1abc");
    EXPECT_EQ(earlier.Read(u"S", u"Name"), u" Joe ");
}

TEST_F(IniFileTest, NamesOutsideTheAnsiCodePageSurvive)
{
    const std::u16string name = u"\u0416\u0443\u043a\u043e\u0432 \u6771\u4eac \U0001F4E1";
    ASSERT_TRUE(ini.Write(u"Connection.1", u"Name", name));
    EXPECT_EQ(ini.Read(u"Connection.1", u"Name"), name);
    // A new file starts with the UTF-16LE byte-order mark.
    const std::string bytes = test::ReadFileBytes(ini.Path());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
}

TEST_F(IniFileTest, AnEmptyOrZeroFilledFileIsStartedAsNew)
{
    const std::u16string name = u"\u0416\u0443\u043a\u043e\u0432 \u6771\u4eac";
    for (const std::string& content : {std::string(), std::string(5000, '\0')}) {
        ASSERT_TRUE(test::WriteFileBytes(ini.Path(), content));
        EXPECT_FALSE(ini.Read(u"Connection.1", u"Name").has_value());
        ASSERT_TRUE(ini.Write(u"Connection.1", u"Name", name));
        EXPECT_EQ(ini.Read(u"Connection.1", u"Name"), name);
        EXPECT_EQ(test::ReadFileBytes(ini.Path()).substr(0, 2), "\xFF\xFE");
    }
    // A file with text in it is kept as it is.
    ASSERT_TRUE(test::WriteFileBytes(ini.Path(), "[Connection.1]\r\nHost=dx.example.org\r\n"));
    ASSERT_TRUE(ini.Write(u"Connection.1", u"Port", u"7300"));
    EXPECT_EQ(ini.Read(u"Connection.1", u"Host"), u"dx.example.org");
}

TEST_F(IniFileTest, LineBreaksNeverReachTheFile)
{
    ASSERT_TRUE(ini.Write(u"S", u"Pasted", u"one\r\ntwo\nthree"));
    EXPECT_EQ(ini.Read(u"S", u"Pasted"), u"one  two three");
    EXPECT_FALSE(ini.Read(u"S", u"two").has_value());
}

TEST_F(IniFileTest, KeysSectionsIntegersAndDeletion)
{
    ini.Write(u"A", u"One", u"1");
    ini.WriteInteger(u"A", u"Two", -2);
    ini.Write(u"B", u"X", u" 17 ");
    ini.Write(u"B", u"Y", u"17x");
    EXPECT_EQ(ini.KeysOf(u"A"), (std::vector<std::u16string>{u"One", u"Two"}));
    EXPECT_EQ(ini.Sections(), (std::vector<std::u16string>{u"A", u"B"}));
    EXPECT_EQ(ini.ReadInteger(u"A", u"Two"), -2);
    EXPECT_EQ(ini.ReadInteger(u"B", u"X"), 17);
    EXPECT_FALSE(ini.ReadInteger(u"B", u"Y").has_value());
    ini.DeleteKey(u"A", u"One");
    EXPECT_FALSE(ini.Read(u"A", u"One").has_value());
    ini.DeleteSection(u"B");
    EXPECT_EQ(ini.Sections(), (std::vector<std::u16string>{u"A"}));
}
