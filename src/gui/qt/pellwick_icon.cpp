// SPDX-License-Identifier: MIT
#include "gui/qt/pellwick_icon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QString>

#include <algorithm>
#include <array>

namespace pellwick {

namespace {

constexpr std::array<int, 4> kSides {16, 32, 64, 128};

// Each size is read the first time something shows it, and then kept: QIcon's
// own file engine reads every size at once, after asking each image plugin
// whether it knows the file, even for a run that never shows the icon.
class PellwickIconEngine final : public QIconEngine
{
public:
    QPixmap pixmap(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int wanted = std::max(size.width(), size.height());
        std::size_t at = 0;
        while (at + 1 < kSides.size() && kSides[at] < wanted)
            ++at;
        QPixmap &picture = m_pictures[at];
        if (picture.isNull())
            picture.load(QStringLiteral(":/pellwick/pellwick-%1.png").arg(kSides[at]), "PNG");
        if (picture.width() <= size.width() && picture.height() <= size.height())
            return picture;
        return picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::min({size.width(), size.height(), kSides.back()});
        return {side, side};
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (const int side : kSides)
            sizes.append(QSize(side, side));
        return sizes;
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QIconEngine *clone() const override { return new PellwickIconEngine(*this); }
    QString key() const override { return QStringLiteral("PellwickIconEngine"); }

private:
    std::array<QPixmap, kSides.size()> m_pictures;
};

} // namespace

QIcon PellwickIcon()
{
    return QIcon(new PellwickIconEngine);
}

} // namespace pellwick
