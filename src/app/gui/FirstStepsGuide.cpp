#include "app/gui/FirstStepsGuide.h"

#include "platform/gui/Buttons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tessaly {

FirstStepsGuide::FirstStepsGuide(QWidget *parent) : QGroupBox(QStringLiteral("开始"), parent)
{
    setObjectName(QStringLiteral("Guide"));
    // The steps and the button as one block in the middle, the lines
    // aligned on their numbers.
    auto *block = new QVBoxLayout;
    block->setSpacing(12);
    for (const QString &step : steps())
        block->addWidget(new QLabel(step, this));
    m_openExample = makeButton("CommandExample", QStringLiteral("打开示例"), this);
    m_openExample->setToolTip(QStringLiteral("在用户数据文件夹中制作并打开示例工作区"));
    m_openExample->setMinimumWidth(177);
    block->addSpacing(12);
    block->addWidget(m_openExample, 0, Qt::AlignLeft);

    auto *centred = new QHBoxLayout;
    centred->addStretch();
    centred->addLayout(block);
    centred->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addLayout(centred);
    layout->addStretch();
}

QStringList FirstStepsGuide::steps()
{
    return {QStringLiteral("1. 菜单 → 设置:填写影片文件路径和站点路径"),
            QStringLiteral("2. 添加:新建项目并选择剧集文件夹"), QStringLiteral("3. 生成整站内容")};
}

} // namespace tessaly
