// The access keys of every dialog template in the built program: one key, one control.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "base/Ascii.h"
#include "base/Utf.h"
#include "tests/support/TestPaths.h"
#include "win/Win32.h"

using namespace kv;

namespace {

// Reads an extended dialog template (DLGTEMPLATEEX and its DLGITEMTEMPLATEEX items) in order.
class CTemplateReader {
public:
    explicit CTemplateReader(const BYTE* data) : data_(data) {}

    WORD Word() { return Take<WORD>(); }
    DWORD Dword() { return Take<DWORD>(); }
    void Skip(size_t bytes) { at_ += bytes; }
    void AlignTo(size_t bytes) { at_ = (at_ + bytes - 1) / bytes * bytes; }
    // A string or an ordinal (0xFFFF then its number): the string, empty for an ordinal.
    std::u16string StringOrOrdinal()
    {
        if (Peek() == 0xFFFF) {
            Skip(4);
            return {};
        }
        return String();
    }
    // The predefined class of a control given as an ordinal (0x82 static), else 0.
    WORD ClassOrdinal()
    {
        if (Peek() != 0xFFFF) {
            String();
            return 0;
        }
        Skip(2);
        return Word();
    }
    std::u16string String()
    {
        std::u16string text;
        for (WORD c = Word(); c != 0; c = Word()) text.push_back(char16_t(c));
        return text;
    }

private:
    WORD Peek() const { return *reinterpret_cast<const WORD*>(data_ + at_); }
    template <typename T> T Take()
    {
        T value;
        memcpy(&value, data_ + at_, sizeof value);
        at_ += sizeof value;
        return value;
    }

    const BYTE* data_;
    size_t at_ = 0;
};

struct ControlText {
    std::u16string text;
    bool showsPrefix = true; // false for a static with SS_NOPREFIX
};

std::vector<ControlText> ControlTexts(const BYTE* data)
{
    CTemplateReader r(data);
    const WORD version = r.Word();
    const WORD signature = r.Word();
    EXPECT_TRUE(version == 1 && signature == 0xFFFF) << "not an extended dialog template";
    if (version != 1 || signature != 0xFFFF) return {};
    r.Skip(8); // help id, extended style
    const DWORD style = r.Dword();
    const WORD count = r.Word();
    r.Skip(8); // x, y, cx, cy
    r.StringOrOrdinal(); // menu
    r.StringOrOrdinal(); // class
    r.String();          // title
    if (style & DS_SETFONT) {
        r.Skip(6); // point size, weight, italic, character set
        r.String();
    }
    std::vector<ControlText> controls;
    for (WORD i = 0; i < count; ++i) {
        r.AlignTo(4);
        r.Skip(8); // help id, extended style
        const DWORD controlStyle = r.Dword();
        r.Skip(12); // x, y, cx, cy, id
        const WORD predefinedClass = r.ClassOrdinal();
        ControlText control{r.StringOrOrdinal()};
        control.showsPrefix = !(predefinedClass == 0x0082 && (controlStyle & SS_NOPREFIX));
        r.Skip(r.Word()); // creation data
        controls.push_back(control);
    }
    return controls;
}

// The key a text underlines ("&&" is a plain ampersand), upper case; 0 when none.
char16_t AccessKeyOf(const std::u16string& text)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&') continue;
        if (text[i + 1] != u'&') return AsciiToUpper(text[i + 1]);
        ++i;
    }
    return 0;
}

BOOL CALLBACK CollectDialogId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR ids)
{
    if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<WORD>*>(ids)->push_back(LOWORD(ULONG_PTR(name)));
    return TRUE;
}

} // namespace

TEST(DialogTemplates, EveryDialogGivesEachAccessKeyToOneControl)
{
    const std::u16string exe = Utf8ToUtf16(test::BuildPath("kestrivane.exe"));
    HMODULE module = ::LoadLibraryExW(W(exe), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr) << "cannot load " << test::BuildPath("kestrivane.exe");
    std::vector<WORD> ids;
    ::EnumResourceNamesW(module, RT_DIALOG, CollectDialogId, LONG_PTR(&ids));
    EXPECT_GE(ids.size(), 5u);
    for (WORD id : ids) {
        HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG);
        HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
        const auto* data = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
        ASSERT_NE(data, nullptr) << "dialog " << id;
        std::map<char16_t, std::u16string> owners;
        for (const ControlText& control : ControlTexts(data)) {
            const char16_t key = control.showsPrefix ? AccessKeyOf(control.text) : 0;
            if (!key) continue;
            const auto [owner, added] = owners.emplace(key, control.text);
            EXPECT_TRUE(added) << "dialog " << id << ": \"" << Utf16ToUtf8(control.text) << "\" and \""
                               << Utf16ToUtf8(owner->second) << "\" share the key " << char(key);
        }
    }
    ::FreeLibrary(module);
}
