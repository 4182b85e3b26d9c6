#pragma once

#include "app/WindowRegistry.h"
#include "data/Staff.h"

#include <QMainWindow>
#include <QUrl>
#include <functional>

class QLabel;
class QMdiArea;

namespace app {

// The main window: the menu from which every working window and web report is opened, the
// MDI area that holds the child windows, and the status bar the receipt check writes to.
class menumagizine : public QMainWindow {
    Q_OBJECT
public:
    // Whether a browser took the address.
    using UrlOpener = std::function<bool(const QUrl&)>;

    explicit menumagizine(QWidget* parent = nullptr);
    ~menumagizine() override;

    WindowRegistry& windows() { return *registry_; }
    QMdiArea* area() const { return area_; }
    // Opens web report addresses; replaceable so tests can see the address.
    void setUrlOpener(UrlOpener opener) { openUrl_ = std::move(opener); }
    // Shows the window of this kind on one record (its declaration's openOn), as a link of the
    // home panel asks; gives the window, or nullptr when it could not be opened.
    QWidget* showOn(const QString& kind, const QString& key);
    // Enables the menu entries whose window kind is registered.
    void refreshMenu();

    // The main window while it exists (the receipt check writes to its status bar).
    static menumagizine* instance();
    QLabel* statusPanel(int number) const;
    // Says so when the database takes no saves (a table missing or not transactional), before
    // anyone types a record; silent when it does, or when it cannot be reached now.
    void checkDatabase();
    // Signs the present person out (their windows close first, each asking about an unsaved
    // entry) and asks who signs in; while nobody is signed in no window can be opened.
    // True when someone signed in.
    bool switchUser();
    // Shows who is signed in and opens the menu to them; an empty account: nobody.
    void showSignedIn(const data::SignedIn* who);
    // The sign-in dialog: replaceable so tests can answer it.
    using SignInAsker = std::function<bool(QWidget* parent, data::ConnectionSettings& db, data::SignedIn& who)>;
    void setSignInAsker(SignInAsker ask) { askSignIn_ = std::move(ask); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QMdiArea* area_;
    WindowRegistry* registry_;
    QLabel* panels_[2];
    UrlOpener openUrl_;
    SignInAsker askSignIn_;
    QLabel* signedIn_;
    bool nobody_ = false;

    void buildMenu();
    void openReportPage(const QString& path);
};

} // namespace app
