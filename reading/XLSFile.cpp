#include "reading/XLSFile.h"

#include "model/Workbook.h"

TXLSFile::TXLSFile() : FWorkbook(std::make_unique<TWorkbook>(1)) {}

TXLSFile::~TXLSFile() = default;

void TXLSFile::OpenFile(const std::u16string& fileName)
{
    OpenFile(fileName, std::u16string());
}

void TXLSFile::OpenFile(const std::u16string& fileName, const std::u16string& password)
{
    TXLSReader reader(*FWorkbook);
    reader.OnProgress = OnProgress;
    reader.Read(fileName, password, ReadOptions);
    FLoaded = true;
}
