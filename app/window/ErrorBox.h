// The window's error message boxes. They all go through one hook, so that a
// test can watch them instead of running a modal box.
#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <string>

class QWidget;

using TErrorBoxHook = std::function<void(QWidget* parent, const QString& caption, const QString& text)>;

// An empty hook restores the default: QMessageBox::critical with an OK button.
void SetErrorBoxHook(TErrorBoxHook hook);
void ShowErrorBox(QWidget* parent, const QString& caption, const QString& text);

// A message of the library as text: UTF-8 when it is valid UTF-8 (file
// paths), else Windows-1252 (the library's 8-bit texts).
QString MessageText(const std::string& message);

// The application-wide handler of errors raised by a conversion: a box with
// the caption "Quillon" and the message as the user sees it (ErrorMessageText).
void HandleApplicationError(QWidget* parent, const std::exception& error);
