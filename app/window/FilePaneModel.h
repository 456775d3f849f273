// The file pane's model: the file system with sizes and dates written the
// German way ("12,5 kB", "24.12.2024 18:30"), whatever the system's locale.
#pragma once

#include <QFileSystemModel>

class TFilePaneModel : public QFileSystemModel {
    Q_OBJECT
public:
    using QFileSystemModel::QFileSystemModel;

    // The columns QFileSystemModel shows.
    enum TColumn { NameColumn = 0, SizeColumn = 1, TypeColumn = 2, DateColumn = 3 };

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
};
