#include "base/CommandRouter.h"

#include <algorithm>

namespace kv {

void CCommandRouter::RemoveTarget(ICommandTarget* target)
{
    targets_.erase(std::remove(targets_.begin(), targets_.end(), target), targets_.end());
}

ICommandTarget* CCommandRouter::FindTarget(int id, std::optional<CommandState>& state) const
{
    for (ICommandTarget* target : targets_) {
        state = target->QueryCommand(id);
        if (state) return target;
    }
    return nullptr;
}

std::optional<CommandState> CCommandRouter::Query(int id) const
{
    std::optional<CommandState> state;
    FindTarget(id, state);
    return state;
}

bool CCommandRouter::IsEnabled(int id) const
{
    const std::optional<CommandState> state = Query(id);
    return state && state->enabled;
}

bool CCommandRouter::Execute(int id) const
{
    std::optional<CommandState> state;
    ICommandTarget* target = FindTarget(id, state);
    if (!target || !state->enabled) return false;
    target->ExecuteCommand(id);
    return true;
}

} // namespace kv
