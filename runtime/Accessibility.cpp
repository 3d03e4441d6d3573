#include "Accessibility.h"

#include "Controls.h"

#include <QAccessibleWidget>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QThread>

#include <algorithm>

namespace runtime {

namespace {

// The text box as a screen reader reads it: one line of text that the player can walk
// through but not change. Qt's own interface for a line edit reports every attribute run
// as empty, and a screen reader that rebuilds the line from those runs drops its last
// character; here the whole text is one run.
class TextBoxAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TextBoxAccessible(TextBox* box) : QAccessibleWidget(box, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text which) const override {
        if (which == QAccessible::Value) return box()->text();
        return QAccessibleWidget::text(which);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = true;
        state.readOnly = box()->isReadOnly();
        state.selectableText = true;
        return state;
    }

    // The text.
    QString text(int startOffset, int endOffset) const override {
        const QString shown = box()->text();
        if (endOffset < 0 || endOffset > shown.size()) endOffset = static_cast<int>(shown.size());
        if (startOffset < 0 || startOffset >= endOffset) return {};
        return shown.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(box()->text().size()); }
    QString attributes(int, int* startOffset, int* endOffset) const override {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

    // The cursor and the selection.
    int cursorPosition() const override { return box()->cursorPosition(); }
    void setCursorPosition(int position) override { box()->setCursorPosition(position); }
    int selectionCount() const override { return box()->hasSelectedText() ? 1 : 0; }
    void selection(int index, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
        if (index != 0 || !box()->hasSelectedText()) return;
        *startOffset = box()->selectionStart();
        *endOffset = *startOffset + static_cast<int>(box()->selectedText().size());
    }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int) override { box()->deselect(); }
    void setSelection(int, int startOffset, int endOffset) override {
        box()->setSelection(startOffset, endOffset - startOffset);
    }

    // Where the characters are on the screen.
    QRect characterRect(int offset) const override {
        const QRect rect = box()->CharacterRect(offset);
        return rect.isEmpty() ? QRect() : QRect(box()->mapToGlobal(rect.topLeft()), rect.size());
    }
    int offsetAtPoint(const QPoint& point) const override {
        const QPoint inBox = box()->mapFromGlobal(point);
        for (int offset = 0; offset < characterCount(); ++offset) {
            if (box()->CharacterRect(offset).contains(inBox)) return offset;
        }
        return -1;
    }
    void scrollToSubstring(int startIndex, int endIndex) override {
        box()->setCursorPosition(endIndex);
        box()->setCursorPosition(startIndex);
    }

private:
    TextBox* box() const { return static_cast<TextBox*>(widget()); }
};

QAccessibleInterface* ProgramInterfaces(const QString& className, QObject* object) {
    if (className == QLatin1String(TextBox::staticMetaObject.className()) && object->isWidgetType())
        return new TextBoxAccessible(static_cast<TextBox*>(object));
    return nullptr;
}

// Screen readers such as Orca speak a change of the focused control's description as a
// message. Qt 6.4's bridge sends the object instead of the new text with such a change,
// which a screen reader cannot speak, so the message goes out as a signal of the program's
// own, on Qt's connection to the accessibility bus: the control is then known to the
// screen reader as the one it has in focus. The control's description itself stays as it is.
void SendToScreenReader(QWidget* control, const QString& message) {
    if (!control || !QAccessible::isActive()) return;
    QDBusConnection bus(QStringLiteral("a11y"));
    if (!bus.isConnected()) return;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    if (!accessible) return;
    const QString objects = QStringLiteral("/org/a11y/atspi/accessible/");
    QDBusMessage signal = QDBusMessage::createSignal(objects + QString::number(QAccessible::uniqueId(accessible)),
                                                     QStringLiteral("org.a11y.atspi.Event.Object"),
                                                     QStringLiteral("PropertyChange"));
    QDBusArgument application;
    application.beginStructure();
    application << bus.baseService() << QDBusObjectPath(objects + QStringLiteral("root"));
    application.endStructure();
    signal << QStringLiteral("accessible-description") << 0 << 0 << QVariant::fromValue(QDBusVariant(message))
           << QVariant::fromValue(application);
    bus.send(signal);
}

std::function<void(QWidget*, const QString&)>& Announcer() {
    static std::function<void(QWidget*, const QString&)> announcer;
    return announcer;
}

}  // namespace

SessionBusOpening::SessionBusOpening() {
    // The toolkit takes the first thread that it meets for the program's main thread, the
    // one its application object must be made on: it meets this one first.
    (void)QThread::currentThread();
    if (OpensSessionBusEarly(qgetenv("DBUS_SESSION_BUS_ADDRESS"))) {
        opening_.emplace([] { (void)QDBusConnection::sessionBus(); });
    }
}

SessionBusOpening::~SessionBusOpening() = default;

bool OpensSessionBusEarly(const QByteArray& address) {
    // An address lists ways to the bus, tried in turn; each must be a plain connection.
    const QList<QByteArray> ways = address.split(';');
    const auto plain = [](const QByteArray& way) {
        const QByteArray transport = way.trimmed().left(way.trimmed().indexOf(':'));
        return transport == "unix" || transport == "tcp" || transport == "nonce-tcp";
    };
    return !address.trimmed().isEmpty() && std::all_of(ways.begin(), ways.end(), plain);
}

void InstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(ProgramInterfaces);
        return true;
    }();
    (void)installed;
}

QString SpokenCaption(const QString& caption) {
    QString spoken;
    spoken.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&') && ++i == caption.size()) break;
        spoken += caption.at(i);
    }
    return spoken;
}

void Announce(QWidget* control, const QString& message) {
    if (Announcer()) {
        Announcer()(control, message);
    } else {
        SendToScreenReader(control, message);
    }
}

void SetAnnouncer(std::function<void(QWidget*, const QString&)> announcer) { Announcer() = std::move(announcer); }

}  // namespace runtime
