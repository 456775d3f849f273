// TXLSFile: the facade the application reads workbook files through. It owns
// the workbook, holds the reading switches and the progress callback, and
// reads a file into the workbook with a reader that lives for one call.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "reading/XLSReader.h"

class TWorkbook;

class TXLSFile {
public:
    // A workbook with one sheet, the default switches, no callback, not loaded.
    TXLSFile();
    ~TXLSFile();
    TXLSFile(const TXLSFile&) = delete;
    TXLSFile& operator=(const TXLSFile&) = delete;

    TWorkbook& Workbook() { return *FWorkbook; }
    const TWorkbook& Workbook() const { return *FWorkbook; }

    // Progress of a read, a fraction 0..1 after every record fetched.
    std::function<void(double)> OnProgress;
    TReadOptions ReadOptions;

    // True once an OpenFile call has returned without an exception.
    bool Loaded() const { return FLoaded; }

    // Clears the workbook and reads the file into it; every exception of the
    // reader (ECFileError, EXLSError, ERangeError, std::runtime_error) passes
    // on unchanged, leaving what had been read up to the failure.
    void OpenFile(const std::u16string& fileName);
    // The same with the password of an encrypted workbook (0..15 characters).
    void OpenFile(const std::u16string& fileName, const std::u16string& password);

private:
    std::unique_ptr<TWorkbook> FWorkbook;
    bool FLoaded = false;
};
