#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

enum class OptionItemKind
{
    Text,
    Choice
};

struct OptionItem
{
    QString name;
    QString value;
    OptionItemKind kind = OptionItemKind::Text;
    bool readOnly = false;
    QString description;
    QStringList choices;
};

struct OptionGroup
{
    QString name;
    QString description;
    // A deque keeps references to items valid while more are appended.
    std::deque<OptionItem> items;
};

// The grouped option list that holds one set of conversion options for the
// whole batch. Every item is addressed by group name and item name; a lookup
// of a name the sheet does not hold fails and never creates anything.
class OptionSheet : public QObject
{
    Q_OBJECT

public:
    static inline const QString General = QStringLiteral("General");
    static inline const QString OutputDuration = QStringLiteral("Output Duration");
    static inline const QString VideoOptions = QStringLiteral("Video Options");
    static inline const QString AudioOptions = QStringLiteral("Audio Options");

    explicit OptionSheet(QObject *parent = nullptr);

    // Clears the sheet and builds the four groups with their default values.
    void prolist();
    void clear();

    const OptionGroup &addGroup(const QString &name);
    // nullptr when the group does not exist.
    [[nodiscard]] const OptionItem *addItem(const QString &group, const QString &name,
                                            const QString &value, OptionItemKind kind);
    [[nodiscard]] bool addChoice(const QString &group, const QString &item, const QString &text);
    [[nodiscard]] bool clearChoices(const QString &group, const QString &item);
    [[nodiscard]] bool setValue(const QString &group, const QString &item, const QString &text);
    [[nodiscard]] std::optional<QString> value(const QString &group, const QString &item) const;
    [[nodiscard]] bool setReadOnly(const QString &group, const QString &item);

    [[nodiscard]] const OptionItem *item(const QString &group, const QString &item) const;
    const std::deque<OptionGroup> &groups() const { return m_groups; }

signals:
    // The set of groups or items changed; a view rebuilds itself.
    void structureChanged();
    // Value, choices or read-only flag of one item changed.
    void itemChanged(const QString &group, const QString &item);

private:
    OptionGroup *findGroup(const QString &name);
    OptionItem *findItem(const QString &group, const QString &item);

    std::deque<OptionGroup> m_groups;
};
