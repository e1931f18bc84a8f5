#pragma once
// Command routing in the manner of menus and button bars: each command id is offered to a chain of targets,
// the first that knows it decides whether it is enabled (and checked), and a command that is disabled is
// not carried out, however it arrived (menu, accelerator, posted by a button). Plain C++ without Win32.
#include <optional>
#include <vector>

namespace kv {

struct CommandState {
    bool enabled = true;
    bool checked = false;
};

class ICommandTarget {
public:
    virtual ~ICommandTarget() = default;
    // The state of a command this target handles; nothing for a command it does not know.
    virtual std::optional<CommandState> QueryCommand(int id) = 0;
    // Carries the command out; only called after QueryCommand said it is enabled.
    virtual void ExecuteCommand(int id) = 0;
};

class CCommandRouter {
public:
    // Targets are asked in the order they were added; none is owned.
    void AddTarget(ICommandTarget* target) { targets_.push_back(target); }
    void RemoveTarget(ICommandTarget* target);

    // The state given by the first target that knows the command; nothing when none does.
    std::optional<CommandState> Query(int id) const;
    // Whether the command is known and enabled.
    bool IsEnabled(int id) const;
    // True when a target carried it out; a disabled or unknown command is refused.
    bool Execute(int id) const;

private:
    ICommandTarget* FindTarget(int id, std::optional<CommandState>& state) const;

    std::vector<ICommandTarget*> targets_;
};

} // namespace kv
