#pragma once

#include <QPixmap>
#include <QString>

namespace kvx {

// The branding's logo drawn at size (SVG drawn sharp, other pictures scaled); a plain
// placeholder when there is no picture.
QPixmap logoPixmap(const QString& path, const QSize& size);

} // namespace kvx
