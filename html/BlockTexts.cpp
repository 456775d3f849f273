#include "html/BlockTexts.h"

TBlockTexts::TBlockTexts(int first, int last, int blockRows, TMake make)
    : FFirst(first), FLast(last), FBlockRows(blockRows),
      FBlockCount(last < first ? 0 : (last - first) / blockRows + 1), FMake(std::move(make)), FShared(kSlots)
{
    if (FBlockCount > 1)
        FThread = std::thread([this] { MakeSharedBlocks(); });
}

TBlockTexts::~TBlockTexts()
{
    {
        std::lock_guard lock(FMutex);
        FStop = true;
    }
    FChanged.notify_all();
    if (FThread.joinable())
        FThread.join();
}

void TBlockTexts::MakeBlock(int block, TBlock& into) const
{
    into.Texts.clear();
    into.Ends.clear();
    const int first = FFirst + block * FBlockRows;
    const int last = std::min(FLast, first + FBlockRows - 1);
    FMake(first, last, into.Texts, into.Ends);
}

void TBlockTexts::MakeSharedBlocks()
{
    for (int block = 1; block < FBlockCount; ++block) {
        if (!Shared(block))
            continue;
        TBlock& slot = FShared[size_t(block % kSlots)];
        {
            // The slot is free once the caller is past the block that used it before.
            std::unique_lock lock(FMutex);
            FChanged.wait(lock, [&] { return FStop || FConsumed >= block - kSlots; });
            if (FStop)
                return;
        }
        TBlock made;
        try {
            MakeBlock(block, made);
        } catch (...) {
            made.Failure = std::current_exception();
        }
        {
            std::lock_guard lock(FMutex);
            made.Ready = true;
            slot = std::move(made);
        }
        FChanged.notify_all();
        if (slot.Failure)
            return;
    }
}

void TBlockTexts::Enter(int block)
{
    {
        std::lock_guard lock(FMutex);
        FConsumed = block - 1;
    }
    FChanged.notify_all();
    FCurrentBlock = block;
    FNextText = 0;
    if (!Shared(block)) {
        MakeBlock(block, FOwn);
        FCurrent = &FOwn;
        return;
    }
    TBlock& slot = FShared[size_t(block % kSlots)];
    std::unique_lock lock(FMutex);
    FChanged.wait(lock, [&] { return slot.Ready; });
    if (slot.Failure)
        std::rethrow_exception(slot.Failure);
    slot.Ready = false; // taken: the thread may fill it again after the next block
    FCurrent = &slot;
}

std::string_view TBlockTexts::Next(int row)
{
    const int block = BlockOf(row);
    while (FCurrentBlock < block)
        Enter(FCurrentBlock + 1);
    const uint32_t begin = FNextText == 0 ? 0 : FCurrent->Ends[FNextText - 1];
    const uint32_t end = FCurrent->Ends[FNextText++];
    return std::string_view(FCurrent->Texts).substr(begin, end - begin);
}
