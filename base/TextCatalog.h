#pragma once
// Texts shown to the user, by string-table number. Portable code asks LoadText(); the Windows program points
// the catalogue at its resources, native builds and tests use the table compiled in. Both come from
// resources/strings.txt.
#include <string>

namespace kv {

class ITextCatalog {
public:
    virtual ~ITextCatalog() = default;
    // Empty when the id is unknown.
    virtual std::u16string Text(unsigned id) const = 0;
};

// The texts compiled in from the string table.
class CBuiltInTextCatalog : public ITextCatalog {
public:
    std::u16string Text(unsigned id) const override;
};

struct StringTableEntry {
    unsigned id;
    const char16_t* text;
};
// The generated table, sorted by id.
extern const StringTableEntry kStringTable[];
extern const unsigned kStringTableSize;

// The catalogue in use; nullptr restores the built-in one. Set once at start-up, before any thread starts.
void SetTextCatalog(const ITextCatalog* catalog);
const ITextCatalog& TextCatalog();
inline std::u16string LoadText(unsigned id) { return TextCatalog().Text(id); }

} // namespace kv
