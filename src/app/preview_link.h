// SPDX-License-Identifier: MIT
#pragma once
// The editor's side of the live preview: starts the separate preview program on first use and
// keeps it fed with the document as Save would write it now.
//
// The preview program carries the browser engine, so the editor never loads it; the two talk
// through the preview program's standard input in the frames of protocol/preview_protocol.h.
// Documents are sent a short while after the last change, so that typing does not send one per
// key, and only when they differ from the last one sent. What the page looks like is the preview
// program's business; this class only knows whether it is running.
#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

#include "protocol/preview_protocol.h"

namespace tessivane {

class PreviewLink : public QObject {
    Q_OBJECT

public:
    // How long after the last change a document is sent.
    static constexpr int kSettleMs = 80;

    // composeDocument gives the document as it is now; it is called only when one is sent.
    explicit PreviewLink(std::function<QByteArray()> composeDocument, QObject* parent = nullptr);
    ~PreviewLink() override;

    // The preview program: TESSIVANE_PREVIEW_PROGRAM when set, otherwise "tessivane-preview"
    // beside this program, otherwise on the PATH; empty when there is none.
    static QString programPath();

    // Reads the browser engine's files into the system's file cache on a thread of its own, so
    // that the first preview after the machine or the editor started is shown as quickly as later
    // ones; the editor itself never loads them. Does nothing when there is no preview program.
    static void warmUp();
    // What warmUp reads: the engine's library, its helper process and its resources.
    static QStringList engineFiles();

    bool isRunning() const { return process_.state() != QProcess::NotRunning; }

    // Starts the program when it is not running, then sends it everything it shows.
    void show(const QString& title, const QString& folder);
    // The document changed: while the program runs, it gets the new one once changes settle.
    void update();
    void setTitle(const QString& title);
    // Ends the program: it closes when its input ends, and is killed if it does not.
    void close();

signals:
    // The program has shown a page: the first one, or one after an update.
    void shown();
    // The program failed or was killed, or could not be started; not when the user closed it.
    void stopped();

private:
    void send(const QByteArray& name, const QByteArray& payload);
    void sendDocument();
    void readOutput();

    std::function<QByteArray()> composeDocument_;
    QProcess process_;
    QTimer settle_;
    QByteArray sent_;
    PreviewFrameReader output_;
    bool closing_ = false;
};

}  // namespace tessivane
