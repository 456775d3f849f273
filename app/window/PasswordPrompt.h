// The masked input dialog that asks for the opening password of a workbook.
// It goes through a hook, so that a test can answer it without a modal box.
#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

using TPasswordPromptHook = std::function<std::optional<QString>(QWidget* parent, const QString& label)>;

// An empty hook restores the default: QInputDialog in password mode.
void SetPasswordPromptHook(TPasswordPromptHook hook);

// "Kennwort für PATH:"; nothing when the user cancels.
std::optional<QString> AskPassword(QWidget* parent, const QString& path);
