#pragma once

#include "data/Connection.h"
#include "forms/common/Declaration.h"
#include "rules/desk/Glance.h"

#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QTextBrowser;
class QTimer;

namespace app {

// The desk at a glance: the issues expected today and this week, those overdue and the titles
// gone quiet, the claims waiting, the subscriptions ending, the mail the server refused. Each
// entry a link to the window that deals with it, opened on the record. Read on a thread of its
// own when shown, on F5 and every few minutes, so the desk never waits for it.
class HomePanel : public QWidget {
    Q_OBJECT
public:
    explicit HomePanel(std::unique_ptr<data::Connection> connection, QWidget* parent = nullptr);
    static forms::Declaration declaration();
    ~HomePanel() override;

    // Reads again unless a reading is under way.
    void refresh();
    bool reading() const { return reading_; }
    enum class Mode { Reading, Ready }; // Refresh is off while the panel reads
    Q_ENUM(Mode)
    Mode mode() const { return reading_ ? Mode::Reading : Mode::Ready; }
    const desk::Glance& shown() const { return glance_; }
    // Follows a link of the panel ("open:KIND/KEY", "print:quiet"), as Enter or a click does.
    void follow(const QUrl& link);
    // How a link opens a window: by kind, on a record; replaceable for the program's opener.
    using Opener = std::function<void(const QString& kind, const QString& key)>;
    void setOpener(Opener open) { open_ = std::move(open); }

    static constexpr int minutesBetween = 5;
    static constexpr int shownEach = 8; // entries listed under a heading; the rest counted

signals:
    void refreshed();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<data::Connection> db_;
    QLabel* Labeltoday;
    QTextBrowser* txtglance;
    QPushButton *Cmdrefresh, *Command6;
    QTimer* timer_;
    desk::Glance glance_;
    bool reading_ = false, read_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    Opener open_;

    void render(const QString& problem = {});
};

} // namespace app
