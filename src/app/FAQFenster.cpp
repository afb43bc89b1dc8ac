#include "app/FAQFenster.h"

#include "common/Cp1252.h"
#include "common/ErrorReport.h"
#include "common/Rtf.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStringDecoder>
#include <QTextEdit>
#include <QVBoxLayout>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace kadro {

namespace {

const QColor kMaroon(0x80, 0x00, 0x00);

QLabel* whiteLabel(const char* name, const QString& text, bool bold, bool underline)
{
    auto* l = new QLabel(text);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignHCenter);
    QFont f = l->font();
    f.setPixelSize(16);
    f.setBold(bold);
    f.setUnderline(underline);
    l->setFont(f);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    l->setPalette(pal);
    return l;
}

// The whole file, or the error number of the failure.
bool readWholeFile(const QString& path, QByteArray* out, int* errorNumber)
{
    errno = 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(QFile::encodeName(path).constData(), "rb"),
                                                      &std::fclose);
    if (!f) {
        *errorNumber = errno;
        return false;
    }
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const size_t n = std::fread(buffer, 1, sizeof buffer, f.get());
        bytes.append(buffer, static_cast<qsizetype>(n));
        if (n < sizeof buffer) {
            if (std::ferror(f.get())) {
                *errorNumber = errno ? errno : EIO;
                return false;
            }
            break;
        }
    }
    *out = std::move(bytes);
    return true;
}

// A plain text file is read in Windows-1252, the code page of the program's files; a file saved
// by a present-day editor in UTF-8 (with or without its byte order mark) is read as UTF-8, since
// its umlauts would otherwise come out as two odd characters each.
QString plainText(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    bool ascii = true;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (!ascii) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8(bytes);
        if (!utf8.hasError())
            return text;
    }
    return fromCp1252(bytes);
}

} // namespace

QString openFailureReason(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT:
    case ENOTDIR: return QStringLiteral("Das System kann die angegebene Datei nicht finden.");
    case EACCES:
    case EPERM: return QStringLiteral("Zugriff verweigert.");
    case EISDIR: return QStringLiteral("Der Name bezeichnet einen Ordner, keine Datei.");
    case EIO: return QStringLiteral("E/A-Fehler beim Lesen der Datei.");
    default: return QString::fromLocal8Bit(std::strerror(errorNumber));
    }
}

TFAQFenster::TFAQFenster(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FAQFenster"));
    setWindowTitle(QStringLiteral("FAQ - Fragen und Antworten"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kMaroon);
    setPalette(pal);
    setMouseTracking(true);

    Label1 = whiteLabel("Label1", QStringLiteral("Fragen und Antworten zu Kadro"), true, false);
    Label1->setFixedWidth(707);
    Label2 = whiteLabel("Label2",
                        QStringLiteral("Falls Ihre Frage hier nicht beantowrtet wird, schreiben sie eine Mail an:"),
                        false, false);
    Label3 = whiteLabel("Label3", kSupportMail, false, true);
    Label3->setCursor(Qt::PointingHandCursor);
    Label3->setMouseTracking(true);
    Label3->installEventFilter(this);

    FAQRichEdit = new QTextEdit;
    FAQRichEdit->setObjectName(QStringLiteral("FAQRichEdit"));
    FAQRichEdit->setReadOnly(true);
    FAQRichEdit->setMinimumSize(200, 100);
    FAQRichEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    FAQRichEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont editFont = FAQRichEdit->font();
    editFont.setPixelSize(16);
    FAQRichEdit->setFont(editFont);
    FAQRichEdit->setPlainText(QStringLiteral("Hier wird die faq.txt geladen"));

    Button1 = new QPushButton(QStringLiteral("Zurück zur Startseite"));
    Button1->setObjectName(QStringLiteral("Button1"));
    QFont buttonFont(QStringLiteral("Arial"));
    buttonFont.setPixelSize(19);
    Button1->setFont(buttonFont);
    Button1->setFixedSize(209, 37);
    connect(Button1, &QPushButton::clicked, this, &TFAQFenster::Button1Click);

    // The labels stay over the text box's width, which follows the window.
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(4, 8, 4, 8);
    v->addWidget(Label1, 0, Qt::AlignHCenter);
    v->addWidget(Label2, 0, Qt::AlignHCenter);
    v->addWidget(Label3, 0, Qt::AlignHCenter);
    v->addSpacing(6);
    v->addWidget(FAQRichEdit, 1);
    v->addSpacing(6);
    v->addWidget(Button1, 0, Qt::AlignHCenter);
    resize(808, 623);
}

void TFAQFenster::loadFile(const QString& path)
{
    QByteArray bytes;
    int errorNumber = 0;
    if (!readWholeFile(path, &bytes, &errorNumber))
        throw KadroError(QStringLiteral("Datei %1 kann nicht geöffnet werden. %2")
                             .arg(QFileInfo(path).fileName(), openFailureReason(errorNumber)));
    if (readRtf(bytes, FAQRichEdit->document()))
        return;
    FAQRichEdit->setPlainText(plainText(bytes));
}

void TFAQFenster::Label3Click()
{
    if (openLink)
        openLink(supportMailLink());
}

void TFAQFenster::Button1Click()
{
    hide();
}

void TFAQFenster::setLabel3Colour(const QColor& colour)
{
    QPalette pal = Label3->palette();
    pal.setColor(QPalette::WindowText, colour);
    Label3->setPalette(pal);
}

void TFAQFenster::mouseMoveEvent(QMouseEvent* event)
{
    // Over the window's own background the mail address is white again.
    if (!childAt(event->position().toPoint()))
        setLabel3Colour(Qt::white);
    QWidget::mouseMoveEvent(event);
}

bool TFAQFenster::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label3) {
        if (event->type() == QEvent::MouseMove) {
            setLabel3Colour(Qt::yellow);
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::LeftButton && Label3->rect().contains(me->position().toPoint())) {
                Label3Click();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kadro
