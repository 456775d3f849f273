#include "app/window/BatchConversion.h"

#include <QFile>
#include <QThread>
#include <exception>

#include "app/Conversion.h"
#include "app/window/ErrorBox.h"

namespace {

// The reader's refusals of a password: one that does not verify, one that is too long.
bool IsPasswordRefusal(const std::exception& error)
{
    const std::string message = error.what();
    return message == "Error: file is protected, and password is invalid!" ||
           message == "File protection password must have 0-15 characters.";
}

std::function<void(size_t)>& FileHook()
{
    static std::function<void(size_t)> hook;
    return hook;
}

QString FromPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

void SetBatchFileHook(std::function<void(size_t index)> hook)
{
    FileHook() = std::move(hook);
}

TBatchConversion::TBatchConversion(std::vector<std::string> paths, std::string targetDir,
                                   TPasswordPrompt askPassword, QObject* parent)
    : QObject(parent), FPaths(std::move(paths)), FTargetDir(std::move(targetDir)),
      FAskPassword(std::move(askPassword))
{
}

TBatchConversion::~TBatchConversion()
{
    if (FWorker)
        FWorker->wait();
}

void TBatchConversion::Start()
{
    FRunning = true;
    emit Progress(0);
    NextFile();
}

void TBatchConversion::Cancel()
{
    if (!FRunning || FCancelled)
        return;
    FCancelled = true;
    emit StatusLine(QStringLiteral("Abbruch: die Konvertierung endet nach der aktuellen Datei."));
}

void TBatchConversion::NextFile()
{
    if (FIndex >= FPaths.size() || FCancelled) {
        Finish();
        return;
    }
    FPassword.clear();
    FPasswordsAsked = 0;
    StartFile();
}

void TBatchConversion::StartFile()
{
    const size_t index = FIndex;
    const std::string path = FPaths[index];
    const size_t total = FPaths.size();
    emit StatusLine(QStringLiteral("Öffne: ") + FromPath(path));

    TConversionOptions options;
    options.Password = FPassword;
    // The reader reports after every record: pass on only what moves the gauge.
    auto lastPercent = std::make_shared<int>(-1);
    options.OnProgress = [this, index, total, lastPercent](double fraction) {
        const int percent = int((index + fraction) * 100 / total);
        if (percent != *lastPercent) {
            *lastPercent = percent;
            emit Progress(percent);
        }
    };
    const auto announceSheet = [this](int sheetNumber, const std::string& outputName) {
        emit StatusLine(QStringLiteral("Speichere Blatt %1 unter: ").arg(sheetNumber) + FromPath(outputName));
    };

    FWorker.reset(QThread::create([this, index, path, options, announceSheet] {
        FOutcome = {};
        try {
            if (FileHook())
                FileHook()(index);
            // The pages are named after the source workbook.
            FOutcome.Saved = ConvertWorkbook(path, FTargetDir, BaseNameOf(path), options, announceSheet);
        } catch (const std::exception& error) {
            FOutcome.Error = MessageText(ErrorMessageText(error));
            FOutcome.PasswordRefused = IsPasswordRefusal(error);
        } catch (...) {
            FOutcome.Error = QStringLiteral("Unbekannter Fehler.");
        }
    }));
    connect(FWorker.get(), &QThread::finished, this, &TBatchConversion::FileEnded);
    FWorker->start();
}

void TBatchConversion::FileEnded()
{
    FWorker->wait();
    FWorker.reset();
    const QString path = FromPath(FPaths[FIndex]);
    FSaved += FOutcome.Saved;

    if (!FOutcome.Error.isEmpty()) {
        // A password the user gave was wrong: say so before asking again.
        if (!FOutcome.PasswordRefused || FPasswordsAsked > 0)
            emit StatusLine(QStringLiteral("Fehler bei ") + path + QStringLiteral(": ") + FOutcome.Error);
        if (FOutcome.PasswordRefused && FPasswordsAsked < 2 && !FCancelled) {
            ++FPasswordsAsked;
            const std::optional<QString> password = FAskPassword ? FAskPassword(path) : std::nullopt;
            if (password && !password->isEmpty() && !FCancelled) {
                FPassword = password->toStdU16String();
                StartFile();
                return;
            }
            emit StatusLine(QStringLiteral("Übersprungen (kein Kennwort): ") + path);
        }
        ++FFailed;
    }
    emit Progress(int((FIndex + 1) * 100 / FPaths.size()));
    ++FIndex;
    NextFile();
}

void TBatchConversion::Finish()
{
    if (FCancelled) {
        const int left = int(FPaths.size() - FIndex);
        emit StatusLine(QStringLiteral("Konvertierung abgebrochen, %1 Dateien nicht konvertiert.").arg(left));
    }
    emit StatusLine(QString::number(FSaved) + QStringLiteral(" HTML Dateien gespeichert..."));
    if (!FCancelled)
        emit Progress(100);
    FRunning = false;
    emit Finished();
}
