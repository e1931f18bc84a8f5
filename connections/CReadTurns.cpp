#include "connections/CReadTurns.h"

#include <algorithm>

namespace kv {

void CReadTurns::MarkReadable(IReadSource& source)
{
    if (&source == reading_) {
        readingMarked_ = true;
        return;
    }
    if (IsMarked(source)) return;
    const bool wasIdle = !AnyMarked();
    marked_.push_back(&source);
    if (wasIdle && !inSlice_) host_.WantSlice();
}

void CReadTurns::Forget(IReadSource& source)
{
    if (&source == reading_) readingForgotten_ = true;
    const auto at = std::find(marked_.begin(), marked_.end(), &source);
    if (at == marked_.end()) return;
    marked_.erase(at);
    if (!AnyMarked() && !inSlice_) host_.Rest();
}

bool CReadTurns::IsMarked(const IReadSource& source) const
{
    return (&source == reading_ && !readingForgotten_) ||
           std::find(marked_.begin(), marked_.end(), &source) != marked_.end();
}

void CReadTurns::RunSlice()
{
    if (inSlice_) return;
    inSlice_ = true;
    const uint64_t start = clock_.TickCount();
    do {
        if (marked_.empty()) break;
        IReadSource* source = marked_.front();
        marked_.pop_front();
        ReadOne(*source);
    } while (clock_.TickCount() - start < kSliceMs);
    inSlice_ = false;
    if (marked_.empty()) host_.Rest();
    else host_.WantSlice();
}

// The source may close, or be destroyed, while it reads: then it is not touched again.
void CReadTurns::ReadOne(IReadSource& source)
{
    reading_ = &source;
    readingMarked_ = readingForgotten_ = false;
    const bool more = source.ReadPortion();
    reading_ = nullptr;
    if (!readingForgotten_ && (more || readingMarked_)) marked_.push_back(&source);
}

} // namespace kv
