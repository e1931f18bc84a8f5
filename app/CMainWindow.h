#pragma once
// The program's top-level window.
#include "win/WindowBase.h"

namespace kv {

class CMainWindow : public CWindowBase {
public:
    bool Create();

protected:
    void OnDestroy() override;
};

} // namespace kv
