#include "app/window/FilePaneModel.h"

#include <QDateTime>
#include <QLocale>

QVariant TFilePaneModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::DisplayRole && index.isValid()) {
        const QLocale german(QLocale::German, QLocale::Germany);
        if (index.column() == SizeColumn && !isDir(index))
            return german.formattedDataSize(size(index), 1, QLocale::DataSizeTraditionalFormat);
        if (index.column() == DateColumn)
            return german.toString(lastModified(index), QStringLiteral("dd.MM.yyyy HH:mm"));
    }
    return QFileSystemModel::data(index, role);
}
