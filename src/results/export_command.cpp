#include "results/export_command.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/application.h"
#include "platform/kesta_error.h"
#include "platform/message_box.h"

namespace {

struct Format {
    const char* filter;
    const char* suffix;
};
const Format kFormats[] = {
    {"Книга Excel (*.xlsx)", "xlsx"},
    {"Текст CSV, разделитель «;» (*.csv)", "csv"},
    {"Отчёт PDF (*.pdf)", "pdf"},
};

void tell(const QString& text) {
    MessageBox(text, TApplication::title(), mbOk | mbIconError);
}

}  // namespace

bool writeExportFile(const QString& path, const ExportTable& table) {
    const QFileInfo info(path);
    const QString suffix = info.suffix().toLower();
    if (suffix != QLatin1String("xlsx") && suffix != QLatin1String("csv") &&
        suffix != QLatin1String("pdf")) {
        tell(QStringLiteral("Формат файла «%1» не поддерживается. Выберите XLSX, CSV или PDF.")
                 .arg(info.fileName()));
        return false;
    }
    if (info.isDir()) {
        tell(QStringLiteral("«%1» — это папка. Укажите имя файла.")
                 .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    if (info.exists() &&
        MessageBox(QStringLiteral("Файл «%1» уже существует. Заменить его?").arg(info.fileName()),
                   TApplication::title(), mbYesNo | mbIconQuestion) != idYes)
        return false;

    QByteArray bytes;
    try {
        if (suffix == QLatin1String("xlsx"))
            bytes = xlsxBytes(table);
        else if (suffix == QLatin1String("csv"))
            bytes = csvBytes(table);
        else
            bytes = pdfBytes(table);
    } catch (const KestaError& error) {
        tell(error.message());
        return false;
    }

    // The new content goes to a file beside the old one and takes its place only when it
    // is complete, so a failure leaves the old file as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        tell(QStringLiteral("Не удалось записать файл «%1».\n%2\nПроверьте, что папка существует и "
                            "доступна для записи, а файл не открыт в другой программе.")
                 .arg(QDir::toNativeSeparators(path), reason));
        return false;
    }
    return true;
}

void exportWithDialog(QWidget* parent, const ExportTable& table, const QString& suggestedName) {
    QFileDialog dialog(parent, QStringLiteral("Экспорт"));
    // The toolkit's own dialog, which the skin dresses like every other window.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // Replacing is asked in our own words, after the dialog has closed.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Папка:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Имя файла:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Тип файла:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Сохранить"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Отмена"));
    dialog.setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (const Format& format : kFormats)
        filters.append(QString::fromUtf8(format.filter));
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QString::fromLatin1(kFormats[0].suffix));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog, [&dialog, filters](const QString& f) {
            dialog.setDefaultSuffix(QString::fromLatin1(kFormats[filters.indexOf(f)].suffix));
        });
    dialog.setDirectory(QDir::homePath());
    dialog.selectFile(suggestedName + QStringLiteral(".xlsx"));
    while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        if (writeExportFile(dialog.selectedFiles().constFirst(), table)) return;
        // Declined or failed: the dialog comes back for another place or name.
    }
}
