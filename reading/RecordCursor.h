// TRecordCursor: the reader's walk over the records of a TBIFFStream. It keeps
// the consumed flag that lets a handler read ahead and hand an unused record
// back to the loop, reports progress after every record fetched, and reads
// data that runs on into CONTINUE records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "reading/BiffStream.h"

constexpr uint16_t ContinueRecordId = 0x003C;

// A string read across CONTINUE records: UTF-16LE code units when Wide,
// otherwise one byte per character.
struct TContinuedString {
    std::string Bytes;
    bool Wide = false;
};

class TRecordCursor {
public:
    // `stream` is not owned and must outlive the cursor.
    explicit TRecordCursor(TBIFFStream& stream);

    TBIFFStream& Stream;
    // True when the current record has been dealt with; handlers set it.
    bool Consumed = true;
    // How often the current record has been dispatched again.
    uint8_t Retries = 0;
    std::function<void(double)> OnProgress;

    TBIFFRecord& Record() { return Stream.Record; }
    TEasyStream& Data() { return Stream.Record.Data; }
    // Set once a fetch has met the end of the records; from then on Fetch
    // returns false without reading, so a record whose look-ahead ran into the
    // end is not dispatched again and the loop ends with what was read.
    bool EndOfRecords() const { return FEndOfRecords; }

    // One turn of the record loop: the next record, or the current one once more
    // when it was left unconsumed. A record left unconsumed twice raises
    // std::runtime_error "Error: BIFF record can not be processed".
    bool Fetch();
    // Inside a handler: true when the next record is a CONTINUE, whose body is
    // then in Data. Otherwise that record stays current and unconsumed, for the
    // handler to return and the loop to dispatch it.
    bool FetchContinue();
    // `charCount` characters starting in Data, the first piece in the form given
    // by bit 0 of `optionByte` (set: UTF-16), continuing into CONTINUE records,
    // each of which starts with its own option byte. Once a piece is wide the
    // whole result is wide. Ends early when no CONTINUE follows.
    TContinuedString ReadContinuedString(size_t charCount, uint8_t optionByte);
    // Skips `count` bytes of Data and of following CONTINUE records (no option
    // bytes); false when the CONTINUE records ended first.
    bool SkipContinued(size_t count);

private:
    void ReportProgress();

    bool FEndOfRecords = false;
};
