#include "site/gui/StyleDialog.h"

#include "platform/ColourChooser.h"
#include "platform/Messages.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/EscapeCloses.h"
#include "site/DefaultCover.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace tessaly {

namespace {

using namespace style_values;

// The captions beside the ten fields, in the keys' order.
const char *const Captions[] = {"页面背景颜色", "封面区背景颜色", "每行封面数", "封面宽度", "封面高度",
                                "封面边框颜色", "名称字号",       "名称颜色",   "集数字号", "集数颜色"};

constexpr int PreviewCells = 5;
// Small enough that a row of the usual three covers fits the preview.
constexpr double PreviewZoom = 0.6;

QIcon swatch(const QString &text)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::darkGray);
    if (const std::optional<unsigned> rgb = colourOf(text))
        painter.setBrush(QColor::fromRgb(QRgb(*rgb)));
    else
        painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, 15, 15);
    return QIcon(pixmap);
}

double stepOf(Kind kind)
{
    return kind == Kind::FontSize ? 0.5 : 1;
}

} // namespace

StyleDialog::StyleDialog(const Workspace &workspace, const BrowserFactory &makeBrowser,
                         ColourChooser &colours, QWidget *parent)
    : QDialog(parent), m_workspace(workspace), m_colours(colours)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("布局设计"));
    setModal(true);
    resize(980, 560);

    // Which pages a run writes, and the name the new set's pages show.
    auto *setFrame = new QGroupBox(QStringLiteral("页面"), this);
    auto *setForm = new QFormLayout(setFrame);
    m_pageSet = new QComboBox(setFrame);
    m_pageSet->setObjectName(QString::fromLatin1(page_set::Key));
    m_pageSet->addItem(page_set::classicName());
    m_pageSet->addItem(page_set::modernName());
    m_pageSet->setToolTip(QStringLiteral("经典:原来的页面;新版:适合手机和大量影片的页面"));
    setForm->addRow(QStringLiteral("页面样式"), m_pageSet);
    m_siteName = new QLineEdit(setFrame);
    m_siteName->setObjectName(QString::fromLatin1(page_set::SiteNameKey));
    m_siteName->setPlaceholderText(page_set::defaultSiteName());
    m_siteName->setToolTip(QStringLiteral("新版页面的站点名称"));
    setForm->addRow(QStringLiteral("站点名称"), m_siteName);

    auto *valuesFrame = new QGroupBox(QStringLiteral("页面样式"), this);
    auto *grid = new QGridLayout(valuesFrame);
    const QList<Key> &all = keys();
    for (int i = 0; i < all.size(); ++i) {
        auto *label = new QLabel(QString::fromUtf8(Captions[i]), valuesFrame);
        auto *field = new QLineEdit(valuesFrame);
        field->setObjectName(all.at(i).name);
        field->setToolTip(all.at(i).name);
        label->setBuddy(field);
        m_fields.append(field);
        grid->addWidget(label, i, 0);
        grid->addWidget(field, i, 1);
        grid->addWidget(makeHelper(i, valuesFrame), i, 2);
    }
    grid->setRowStretch(all.size(), 1);

    auto *previewFrame = new QGroupBox(QStringLiteral("预览"), this);
    m_browser = makeBrowser(previewFrame);
    m_browser.widget->setObjectName(QStringLiteral("WebBrowser1"));
    m_browser.widget->setMinimumSize(480, 400);
    m_browser.browser->setZoom(PreviewZoom);
    auto *previewLayout = new QVBoxLayout(previewFrame);
    previewLayout->addWidget(m_browser.widget);

    QPushButton *restore = makeButton("Command1", QStringLiteral("恢复默认"), this);
    restore->setToolTip(QStringLiteral("填入与默认页面相同的样式值"));
    QPushButton *ok = makeButton("Command2", okCaption(), this);
    QPushButton *cancel = makeButton("Command3", cancelCaption(), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(restore);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *leftPane = new QVBoxLayout;
    leftPane->addWidget(setFrame);
    leftPane->addWidget(valuesFrame, 1);
    auto *panes = new QHBoxLayout;
    panes->addLayout(leftPane);
    panes->addWidget(previewFrame, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(panes, 1);
    layout->addLayout(buttons);

    // The samples show the built-in cover; the preview reaches no file.
    m_coverImage =
        QStringLiteral("data:image/jpeg;base64,") + QString::fromLatin1(defaultCoverBytes().toBase64());
    m_previewDelay = new QTimer(this);
    m_previewDelay->setSingleShot(true);
    m_previewDelay->setInterval(150);
    connect(m_previewDelay, &QTimer::timeout, this, &StyleDialog::updatePreview);

    const files::Outcome<Values> stored = style_values::read(workspace);
    // An unreadable file is said once here; saving over it is refused too.
    if (!stored)
        Messages::error(stored.failure().text());
    showValues(stored ? *stored : defaults());
    const PageChoice choice = readPageChoice(workspace);
    m_pageSet->setCurrentIndex(choice.pageSet == PageSet::Modern ? 1 : 0);
    m_siteName->setText(choice.siteName);
    updatePreview();
    for (QLineEdit *field : std::as_const(m_fields))
        connect(field, &QLineEdit::textChanged, m_previewDelay, qOverload<>(&QTimer::start));
    connect(m_siteName, &QLineEdit::textChanged, m_previewDelay, qOverload<>(&QTimer::start));
    connect(m_pageSet, &QComboBox::currentIndexChanged, this, &StyleDialog::updatePreview);

    connect(restore, &QPushButton::clicked, this, &StyleDialog::restoreDefaults);
    connect(ok, &QPushButton::clicked, this, &StyleDialog::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // Esc closes without saving, even while the web view has the focus.
    new EscapeCloses(*this);
}

StyleDialog::~StyleDialog() = default;

QWidget *StyleDialog::makeHelper(int keyIndex, QWidget *parent)
{
    const Key &key = keys().at(keyIndex);
    QLineEdit *field = m_fields.at(keyIndex);
    auto *helper = new QWidget(parent);
    auto *row = new QHBoxLayout(helper);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    if (key.kind == Kind::Colour) {
        auto *pick = new QToolButton(helper);
        pick->setObjectName(key.name + QStringLiteral("Picker"));
        pick->setToolTip(QStringLiteral("选择颜色"));
        // The swatch has no text, so a screen reader needs a name for it.
        pick->setAccessibleName(key.name + QStringLiteral(" 选择颜色"));
        pick->setIcon(swatch(field->text()));
        connect(field, &QLineEdit::textChanged, pick,
                [pick](const QString &text) { pick->setIcon(swatch(text)); });
        connect(pick, &QToolButton::clicked, this, [this, field] { pickColour(field); });
        row->addWidget(pick);
    } else {
        auto *down = new QToolButton(helper);
        down->setObjectName(key.name + QStringLiteral("Down"));
        down->setText(QStringLiteral("−"));
        down->setToolTip(QStringLiteral("减小"));
        down->setAccessibleName(key.name + QStringLiteral(" 减小"));
        down->setAutoRepeat(true);
        auto *up = new QToolButton(helper);
        up->setObjectName(key.name + QStringLiteral("Up"));
        up->setText(QStringLiteral("+"));
        up->setToolTip(QStringLiteral("增大"));
        up->setAccessibleName(key.name + QStringLiteral(" 增大"));
        up->setAutoRepeat(true);
        connect(down, &QToolButton::clicked, this, [this, field, key] { step(field, key, -1); });
        connect(up, &QToolButton::clicked, this, [this, field, key] { step(field, key, +1); });
        row->addWidget(down);
        row->addWidget(up);
    }
    row->addStretch(1);
    return helper;
}

QLineEdit *StyleDialog::field(const QString &key) const
{
    for (QLineEdit *each : m_fields) {
        if (each->objectName() == key)
            return each;
    }
    return nullptr;
}

Values StyleDialog::values() const
{
    Values values;
    for (const QLineEdit *field : m_fields)
        values.append(field->text());
    return values;
}

PageChoice StyleDialog::pageChoice() const
{
    return {m_pageSet->currentIndex() == 1 ? PageSet::Modern : PageSet::Classic,
            m_siteName->text().trimmed()};
}

void StyleDialog::showValues(const Values &values)
{
    for (int i = 0; i < m_fields.size(); ++i)
        m_fields.at(i)->setText(values.value(i));
}

void StyleDialog::restoreDefaults()
{
    showValues(defaults());
}

void StyleDialog::pickColour(QLineEdit *field)
{
    const unsigned current = colourOf(field->text()).value_or(0);
    if (const std::optional<unsigned> chosen = m_colours.chooseColour(current))
        field->setText(colourText(int(*chosen >> 16) & 0xFF, int(*chosen >> 8) & 0xFF, int(*chosen) & 0xFF));
}

void StyleDialog::step(QLineEdit *field, const Key &key, int direction)
{
    // A field that holds no number steps from the default.
    const double current = numberOf(field->text()).value_or(numberOf(key.defaultValue).value_or(0));
    double next = current + direction * stepOf(key.kind);
    const double lowest = key.kind == Kind::CoverSize  ? SmallestCoverSize
                          : key.kind == Kind::FontSize ? 1
                                                       : 0;
    if (next < lowest)
        next = lowest;
    if (key.kind == Kind::CoverSize && next > LargestCoverSize)
        next = LargestCoverSize;
    if (key.kind != Kind::FontSize)
        next = std::round(next);
    field->setText(numberText(next));
}

void StyleDialog::updatePreview()
{
    m_previewHtml = previewPage(values(), pageChoice(), PreviewCells, m_coverImage);
    m_browser.browser->showHtml(m_previewHtml);
}

void StyleDialog::confirm()
{
    const Values edited = values();
    if (const std::optional<Problem> problem = firstProblem(edited)) {
        Messages::error(problem->message);
        QLineEdit *field = m_fields.at(problem->keyIndex);
        field->setFocus();
        field->selectAll();
        return;
    }
    const PageChoice choice = pageChoice();
    if (const std::optional<QString> problem = siteNameProblem(choice.siteName)) {
        Messages::error(*problem);
        m_siteName->setFocus();
        m_siteName->selectAll();
        return;
    }
    if (const files::Outcome<void> saved = save(m_workspace, edited, choice); !saved) {
        Messages::error(saved.failure().text());
        return;
    }
    accept();
}

} // namespace tessaly
