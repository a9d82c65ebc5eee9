#include "catalogue/gui/DetailsPane.h"

#include "catalogue/ProjectSelection.h"
#include "catalogue/gui/EpisodeChecks.h"
#include "catalogue/gui/EpisodeListModel.h"
#include "platform/gui/Buttons.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace tessaly {

namespace {

// The preview box of 2835 × 3810 twips.
constexpr QSize CoverBoxSize(189, 254);

} // namespace

void setUpRowList(QTreeView *list, const QString &objectName)
{
    list->setObjectName(objectName);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformRowHeights(true);
    list->setIconSize(QSize(30, 28));
    list->header()->setStretchLastSection(true);
}

CoverPreview::CoverPreview(QWidget *parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("Picture1"));
    setAlignment(Qt::AlignCenter);
    setFixedSize(CoverBoxSize);
    setFrameShape(QFrame::StyledPanel);
    showDefaultCover();
}

const QImage &CoverPreview::defaultCover()
{
    static const QImage cover(QStringLiteral(":/site/DefaultCover.jpg"));
    return cover;
}

void CoverPreview::setPicture(const QImage &picture)
{
    m_picture = picture;
    m_default = false;
    rescale();
}

void CoverPreview::showDefaultCover()
{
    m_picture = defaultCover();
    m_default = true;
    rescale();
}

void CoverPreview::showCoverFile(const QString &path)
{
    QImage picture;
    if (!path.isEmpty() && picture.load(path) && !picture.isNull())
        setPicture(picture);
    else
        showDefaultCover();
}

void CoverPreview::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    rescale();
}

void CoverPreview::rescale()
{
    const QSize box = contentsRect().size();
    if (m_picture.isNull() || box.isEmpty()) {
        clear();
        return;
    }
    setPixmap(QPixmap::fromImage(m_picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

DetailsPane::DetailsPane(QWidget *parent) : QGroupBox(QString::fromUtf8(EmptyCaption), parent)
{
    setObjectName(QStringLiteral("Frame1"));

    m_cover = new CoverPreview(this);
    auto *label = new QLabel(QStringLiteral("文件："), this);
    label->setObjectName(QStringLiteral("Label1"));
    m_folder = new QLineEdit(this);
    m_folder->setObjectName(QStringLiteral("Text1"));
    m_folder->setReadOnly(true);
    m_episodeModel = new EpisodeListModel(this);
    m_episodes = new QTreeView(this);
    m_episodes->setModel(m_episodeModel);
    setUpRowList(m_episodes, QStringLiteral("ListView2"));
    // The name takes the width; the duration keeps room for "10:00:00".
    QHeaderView *header = m_episodes->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(EpisodeListModel::NameColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(EpisodeListModel::DurationColumn, QHeaderView::Fixed);
    header->resizeSection(EpisodeListModel::DurationColumn,
                          m_episodes->fontMetrics().horizontalAdvance(QStringLiteral("10:00:00")) + 16);
    m_otherFiles = new QLabel(this);
    m_otherFiles->setObjectName(QStringLiteral("Label2"));
    m_otherFiles->setTextFormat(Qt::PlainText);
    m_otherFiles->hide();

    m_pickCover = makeButton("Command5", QStringLiteral("选取封面"), this);
    m_searchSite1 = makeButton("Command10", QStringLiteral("查找封面 - 站点1"), this);
    m_searchSite2 = makeButton("Command11", QStringLiteral("查找封面 - 站点2"), this);
    m_grabFromVideo = makeButton("Command12", QStringLiteral("从视频截取封面"), this);
    m_chooseFolder = makeButton("Command3", QStringLiteral("选择"), this);
    m_convert = makeButton("Command13", QStringLiteral("转换为网页格式"), this);

    auto *coverColumn = new QVBoxLayout;
    coverColumn->addWidget(m_cover);
    coverColumn->addSpacing(6);
    coverColumn->addWidget(m_pickCover);
    coverColumn->addWidget(m_searchSite1);
    coverColumn->addWidget(m_searchSite2);
    coverColumn->addWidget(m_grabFromVideo);
    coverColumn->addWidget(m_convert);
    coverColumn->addStretch();

    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(label);
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(m_chooseFolder);

    auto *episodeColumn = new QVBoxLayout;
    episodeColumn->addLayout(folderRow);
    episodeColumn->addWidget(m_episodes, 1);
    episodeColumn->addWidget(m_otherFiles);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(coverColumn);
    layout->addSpacing(8);
    layout->addLayout(episodeColumn, 1);
}

void DetailsPane::showEmpty()
{
    setTitle(QString::fromUtf8(EmptyCaption));
    m_cover->showDefaultCover();
    m_folder->clear();
    clearEpisodes();
    showOtherFiles({});
}

void DetailsPane::showProject(const ProjectDetails &details)
{
    // A group box takes "&" as the mark of a shortcut letter; the name is
    // shown as it is.
    QString caption = details.name;
    setTitle(caption.replace(u'&', QStringLiteral("&&")));
    m_cover->showCoverFile(details.coverFile);
    m_folder->setText(details.episodeFolder);
    m_episodeModel->showEpisodes(details.name, details.episodes, details.encodedEpisodes);
    if (m_checks && details.checkVideos && !details.episodes.isEmpty())
        m_checks->start(details.episodeFolder);
    showOtherFiles(details.otherFiles);
}

void DetailsPane::clearEpisodes()
{
    m_episodeModel->showEpisodes({}, {});
}

void DetailsPane::showOtherFiles(const QStringList &otherFiles)
{
    if (otherFiles.isEmpty()) {
        m_otherFiles->hide();
        m_otherFiles->clear();
        m_otherFiles->setToolTip({});
        return;
    }
    m_otherFiles->setText(QStringLiteral("另有 %1 个非视频文件未列为剧集").arg(otherFiles.size()));
    // A tool tip takes markup as markup: the names are escaped, one a line,
    // and a folder of thousands of pictures names its first ones only.
    constexpr qsizetype MostNamesShown = 50;
    QStringList lines;
    for (const QString &name : otherFiles.mid(0, MostNamesShown))
        lines.append(name.toHtmlEscaped());
    if (otherFiles.size() > MostNamesShown)
        lines.append(QStringLiteral("……"));
    m_otherFiles->setToolTip(QStringLiteral("<p style='white-space:pre'>") +
                             lines.join(QStringLiteral("<br>")) + QStringLiteral("</p>"));
    m_otherFiles->show();
}

} // namespace tessaly
