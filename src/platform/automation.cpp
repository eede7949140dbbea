#include "platform/automation.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "platform/kesta_error.h"
#include "platform/paths.h"

namespace {

const QString kWordApplication = QStringLiteral("Word.Application");

[[noreturn]] void unknownMethod(const QString& object, const QString& method) {
    throw KestaError(QStringLiteral("Объект «%1» не поддерживает метод «%2»").arg(object, method));
}

// The open documents of the word processor: Open(path) starts Writer with the file.
class WriterDocuments : public OleObject {
public:
    explicit WriterDocuments(QString program) : program_(std::move(program)) {}

    std::shared_ptr<OleObject> call(const QString& method, const QVariantList& arguments) override {
        if (method.compare(QLatin1String("Open"), Qt::CaseInsensitive) != 0)
            unknownMethod(QStringLiteral("Documents"), method);
        if (arguments.isEmpty())
            throw KestaError(QStringLiteral("Метод «Open» ожидает путь к документу"));
        const QString path = QFileInfo(localPath(arguments.first().toString())).absoluteFilePath();
        if (!QProcess::startDetached(program_, {QStringLiteral("--writer"), path}))
            throw KestaError(
                QStringLiteral("Не удалось запустить текстовый процессор «%1»").arg(program_));
        return nullptr;
    }

private:
    QString program_;
};

class WriterApplication : public OleObject {
public:
    explicit WriterApplication(QString program) : program_(std::move(program)) {}

    std::shared_ptr<OleObject> call(const QString& method, const QVariantList&) override {
        if (method.compare(QLatin1String("Documents"), Qt::CaseInsensitive) != 0)
            unknownMethod(kWordApplication, method);
        return std::make_shared<WriterDocuments>(program_);
    }

private:
    QString program_;
};

}  // namespace

std::shared_ptr<OleObject> CreateOleObject(const QString& programmaticId) {
    if (programmaticId.compare(kWordApplication, Qt::CaseInsensitive) != 0)
        throw KestaError(
            QStringLiteral("Неизвестный объект автоматизации «%1»").arg(programmaticId));
    const QString program = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (program.isEmpty()) {
        throw KestaError(QStringLiteral(
            "Не удалось запустить текстовый процессор: не найдена программа soffice "
            "(LibreOffice Writer). Установите LibreOffice Writer, чтобы печатать документы"));
    }
    return std::make_shared<WriterApplication>(program);
}
