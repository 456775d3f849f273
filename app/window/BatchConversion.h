// One batch conversion of the window: the listed workbooks converted one after
// the other on a worker thread, each into pages in the target directory. The
// window hears of it only through signals, so it stays responsive. A file
// that fails is reported and the batch goes on; a workbook refused for its
// password is tried again with one the user gives.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QThread;

class TBatchConversion : public QObject {
    Q_OBJECT
public:
    // Asks for the opening password of `path`; nothing (or an empty text) skips the file.
    using TPasswordPrompt = std::function<std::optional<QString>(const QString& path)>;

    // `targetDir` exists and ends with "/".
    TBatchConversion(std::vector<std::string> paths, std::string targetDir, TPasswordPrompt askPassword,
                     QObject* parent = nullptr);
    // Waits for the file being converted, if any.
    ~TBatchConversion() override;

    void Start();
    // The batch ends after the file being converted; says so in a status line.
    void Cancel();

    bool Running() const { return FRunning; }
    bool Cancelled() const { return FCancelled; }
    // Sheets handed to the page writer so far.
    int SavedCount() const { return FSaved; }
    // Files that could not be converted (skipped ones included).
    int FailedCount() const { return FFailed; }

signals:
    void StatusLine(const QString& line);
    // The gauge: files done and the read of the current one, in percent.
    void Progress(int percent);
    // After the count line; Running() is false from here on.
    void Finished();

private:
    struct TFileOutcome {
        int Saved = 0;
        QString Error;              // empty on success
        bool PasswordRefused = false;
    };

    void StartFile();
    void FileEnded();
    void NextFile();
    void Finish();

    std::vector<std::string> FPaths;
    std::string FTargetDir;
    TPasswordPrompt FAskPassword;
    size_t FIndex = 0;
    std::u16string FPassword; // for the current file; empty means the default one
    int FPasswordsAsked = 0;  // for the current file
    int FSaved = 0;
    int FFailed = 0;
    bool FRunning = false;
    bool FCancelled = false;
    std::unique_ptr<QThread> FWorker;
    TFileOutcome FOutcome; // written by the worker, read once it has finished
};

// For tests: called on the worker thread before each attempt at a file, with
// the file's index in the batch. An empty hook (the default) does nothing.
void SetBatchFileHook(std::function<void(size_t index)> hook);
