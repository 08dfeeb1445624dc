#include "widgets/Skin.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QWidget>

namespace {

// Qt parses a style sheet lazily, when it first styles a widget, and reports
// a sheet it cannot parse only as a warning. The handler below turns that
// warning into a flag while applySkin() polishes a scratch widget; it is
// installed only for that moment.
bool parseFailed = false;
QtMessageHandler previousHandler = nullptr;

void watchForParseFailure(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtWarningMsg && text.startsWith(QLatin1String("Could not parse"))) {
        parseFailed = true;
        return;
    }
    if (previousHandler)
        previousHandler(type, context, text);
}

// A style sheet set from a string resolves url() against the current folder;
// the skin's own pictures lie beside it, so relative names are made absolute.
QString resolvePictures(const QString &sheet, const QDir &folder)
{
    static const QRegularExpression url(QStringLiteral(R"(url\(\s*(['"]?)([^'")]+)\1\s*\))"));
    QString result;
    qsizetype done = 0;
    for (auto it = url.globalMatch(sheet); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString name = match.captured(2).trimmed();
        if (!QDir::isRelativePath(name) || name.startsWith(QLatin1Char(':')))
            continue;
        result += QStringView(sheet).mid(done, match.capturedStart() - done);
        result += QStringLiteral("url(\"%1\")").arg(folder.absoluteFilePath(name));
        done = match.capturedEnd();
    }
    return result.append(QStringView(sheet).mid(done));
}

bool fail(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
    return false;
}

} // namespace

bool applySkin(QApplication &app, const QString &path, QString *reason)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(reason, QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString sheet = decoder.decode(bytes);
    if (decoder.hasError())
        return fail(reason, QStringLiteral("%1 is not UTF-8 text").arg(path));
    if (sheet.trimmed().isEmpty())
        return fail(reason, QStringLiteral("%1 is empty").arg(path));

    const QString before = app.styleSheet();
    parseFailed = false;
    previousHandler = qInstallMessageHandler(watchForParseFailure);
    app.setStyleSheet(resolvePictures(sheet, QFileInfo(path).absoluteDir()));
    {
        QWidget scratch;
        scratch.ensurePolished();
    }
    qInstallMessageHandler(previousHandler);
    previousHandler = nullptr;
    if (parseFailed) {
        app.setStyleSheet(before);
        return fail(reason, QStringLiteral("Qt cannot parse the style sheet %1").arg(path));
    }
    return true;
}
