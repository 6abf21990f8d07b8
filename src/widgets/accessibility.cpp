#include "accessibility.h"

#include "accuracy_ring.h"
#include "keyboard.h"
#include "tip_view.h"
#include "model/localization.h"
#include "model/note.h"

#include <QAccessibleWidget>
#include <QLabel>

#include <cmath>
#include <utility>

namespace lirra {

namespace {

// Whether the keyboard the key belongs to takes presses now.
bool keyboardTakesKeys(const QWidget *key)
{
    for (const QWidget *w = key; w; w = w->parentWidget()) {
        if (qobject_cast<const KeyboardView *>(w))
            return acceptsInteraction(w);
    }
    return true;
}

// A piano key: a button named by what it shows, pressed as a click would.
class KeyAccessible final : public QAccessibleWidget {
public:
    explicit KeyAccessible(Key *key) : QAccessibleWidget(key, QAccessible::Button) {}

    Key *key() const { return static_cast<Key *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) {
            // A key that says what it stands for whole ("IV, F major chord")
            // is said so; otherwise several lines on the accuracy screen
            // ("E 76 %", "often heard as D♯") read as one sentence.
            QString name = key()->spokenName();
            if (name.isEmpty()) {
                const QString shown = !key()->accessibleName().isEmpty()
                    ? key()->accessibleName()
                    : key()->text().value_or(QString()).trimmed();
                const QString letter = localizedName(key()->name());
                name = shown.isEmpty() ? letter : QString(shown).replace(QLatin1Char('\n'), QStringLiteral(", "));
                // A syllable or a degree says which key it is only with the letter.
                if (!name.startsWith(letter))
                    name += QStringLiteral(" (%1)").arg(letter);
            }
            // The keyboard's second octave, told from the first.
            const auto *octave = qobject_cast<const OctaveView *>(key()->parentWidget());
            if (octave && octave->octave() > 1)
                name = localized("key.upperOctave").arg(name);
            return name;
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        // A key the keyboard does not take now (waiting for the cadence,
        // say) is as good as disabled.
        if (!key()->isEnabled() || !keyboardTakesKeys(key()))
            s.disabled = true;
        s.checkable = false;
        s.pressed = key()->isPressed();
        return s;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (name != pressAction() || state().disabled)
            return;
        key()->press();
        key()->release();
    }
};

// The accuracy ring: a progress bar from 0 to 100, or no value before any
// answer; pressing it opens the accuracy screen.
class RingAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit RingAccessible(AccuracyRing *ring) : QAccessibleWidget(ring, QAccessible::ProgressBar) {}

    AccuracyRing *ring() const { return static_cast<AccuracyRing *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return ring()->hasAccuracy() ? ring()->text() : QString();
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            // The tooltip without its shortcut: "Accuracy in this level".
            QString tip = widget()->toolTip();
            const qsizetype shortcut = tip.lastIndexOf(QStringLiteral(" ("));
            return shortcut > 0 ? tip.left(shortcut) : tip;
        }
        return QAccessibleWidget::text(t);
    }

    // Before any answer the value is 0 and indeterminate (the bridge turns
    // a mixed state into that), which a screen reader does not read as
    // "0 percent". The interface itself stays: clients keep the list of
    // interfaces an object first showed them.
    QAccessible::State state() const override
    {
        QAccessible::State result = QAccessibleWidget::state();
        result.checkStateMixed = !ring()->hasAccuracy();
        return result;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QVariant currentValue() const override
    {
        return ring()->hasAccuracy() ? std::round(double(ring()->accuracy()) * 100) : 0.0;
    }
    void setCurrentValue(const QVariant &) override {}
    QVariant maximumValue() const override { return 100.0; }
    QVariant minimumValue() const override { return 0.0; }
    QVariant minimumStepSize() const override { return 1.0; }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (name == pressAction() && ring()->isEnabled()) {
            ring()->press();
            ring()->release();
        }
    }
};

// A sentence said once: a notification, named by it.
class AnnouncerAccessible final : public QAccessibleWidget {
public:
    explicit AnnouncerAccessible(QWidget *announcer) : QAccessibleWidget(announcer, QAccessible::Notification) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.focusable = false;
        return s;
    }
};

// A title over what is under it.
class HeadingAccessible final : public QAccessibleWidget {
public:
    explicit HeadingAccessible(QLabel *label) : QAccessibleWidget(label, QAccessible::Heading) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<QLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

// An onboarding bubble: a dialog named by its title, its message as the
// description, its buttons inside.
class TipAccessible final : public QAccessibleWidget {
public:
    explicit TipAccessible(TipView *tip) : QAccessibleWidget(tip, QAccessible::Dialog) {}

    QString text(QAccessible::Text t) const override
    {
        const auto *tip = static_cast<TipView *>(widget());
        if (t == QAccessible::Name)
            return tip->title();
        if (t == QAccessible::Description)
            return tip->message();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("lirra::WhiteKey") || className == QLatin1String("lirra::BlackKey"))
        return new KeyAccessible(static_cast<Key *>(object));
    if (className == QLatin1String("lirra::Heading"))
        return new HeadingAccessible(static_cast<QLabel *>(object));
    if (className == QLatin1String("lirra::TipView"))
        return new TipAccessible(static_cast<TipView *>(object));
    if (className == QLatin1String("lirra::ProgressChart"))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Chart);
    if (className == QLatin1String("lirra::Announcer"))
        return new AnnouncerAccessible(static_cast<QWidget *>(object));
    if (className == QLatin1String("lirra::AccuracyRing"))
        return new RingAccessible(static_cast<AccuracyRing *>(object));
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static bool installed = false;
    if (std::exchange(installed, true))
        return;
    QAccessible::installFactory(factory);
}

void setAccessibleNameIfChanged(QWidget *widget, const QString &name)
{
    if (widget->accessibleName() != name)
        widget->setAccessibleName(name);
}

void setAccessibleDescriptionIfChanged(QWidget *widget, const QString &description)
{
    if (widget->accessibleDescription() != description)
        widget->setAccessibleDescription(description);
}

} // namespace lirra
