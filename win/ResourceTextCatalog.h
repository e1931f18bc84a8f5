#pragma once
// The string table as the Windows program reads it: from its own resources.
#include "base/TextCatalog.h"

namespace kv {

class CResourceTextCatalog : public ITextCatalog {
public:
    // The texts of the given module; null: the program's own.
    explicit CResourceTextCatalog(void* module = nullptr) : module_(module) {}
    std::u16string Text(unsigned id) const override;

private:
    void* module_;
};

} // namespace kv
