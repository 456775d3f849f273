#include "html/BlockRows.h"

#include <algorithm>

TBlockRows::TBlockRows(int first, int last, int blockRows, TMake make)
    : FFirst(first), FLast(last), FBlockRows(blockRows),
      FBlockCount(last < first ? 0 : (last - first) / blockRows + 1), FMake(std::move(make)), FShared(kSlots)
{
    if (FBlockCount > 1)
        FThread = std::thread([this] { MakeSharedBlocks(); });
}

TBlockRows::~TBlockRows()
{
    {
        std::lock_guard lock(FMutex);
        FStop = true;
    }
    FChanged.notify_all();
    if (FThread.joinable())
        FThread.join();
}

void TBlockRows::MakeSharedBlocks()
{
    for (int block = 1; block < FBlockCount; ++block) {
        if (!Shared(block))
            continue;
        {
            // The slot is free once the block that used it before is written.
            std::unique_lock lock(FMutex);
            FChanged.wait(lock, [&] { return FStop || FWritten >= block - kSlots; });
            if (FStop)
                return;
        }
        TBlock made;
        {
            // The text of the block written before in this slot lends its room.
            std::lock_guard lock(FMutex);
            made.Text.swap(FShared[size_t(block % kSlots)].Text);
        }
        made.Text.clear();
        try {
            made.GaveUp = !FMake(FirstOf(block), LastOf(block), made.Text, true);
        } catch (...) {
            made.Failure = std::current_exception();
        }
        made.Ready = true;
        {
            std::lock_guard lock(FMutex);
            FShared[size_t(block % kSlots)] = std::move(made);
        }
        FChanged.notify_all();
    }
}

void TBlockRows::WriteAll(const std::function<void(std::string_view)>& write)
{
    std::string own;
    for (int block = 0; block < FBlockCount; ++block) {
        const std::string* text = &own;
        if (Shared(block)) {
            TBlock& slot = FShared[size_t(block % kSlots)];
            std::unique_lock lock(FMutex);
            FChanged.wait(lock, [&] { return slot.Ready; });
            lock.unlock();
            if (slot.Failure)
                std::rethrow_exception(slot.Failure);
            text = &slot.Text;
            if (slot.GaveUp) {
                own.clear();
                FMake(FirstOf(block), LastOf(block), own, false);
                text = &own;
            }
        } else {
            own.clear();
            FMake(FirstOf(block), LastOf(block), own, false);
        }
        write(*text);
        {
            std::lock_guard lock(FMutex);
            FWritten = block;
            if (Shared(block))
                FShared[size_t(block % kSlots)].Ready = false;
        }
        FChanged.notify_all();
    }
}
