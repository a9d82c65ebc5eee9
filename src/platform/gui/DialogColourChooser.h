#pragma once

#include "platform/ColourChooser.h"

class QWidget;

namespace tessaly {

// Qt's colour dialog over a parent window.
class DialogColourChooser : public ColourChooser
{
public:
    explicit DialogColourChooser(QWidget *parent) : m_parent(parent) {}
    std::optional<unsigned> chooseColour(unsigned initialRgb) override;

private:
    QWidget *m_parent;
};

} // namespace tessaly
