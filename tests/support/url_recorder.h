#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

namespace iitcalc::testing_support {

// Stands in for the desktop: records every address handed to it.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened.append(url); }
};

} // namespace iitcalc::testing_support
