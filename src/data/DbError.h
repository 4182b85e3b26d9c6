#pragma once

#include <QString>
#include <stdexcept>

namespace data {

// Every failure of the database layer: the server's (or driver's) native error number, the
// SQLSTATE and the message text, ready to be shown to the user.
class DbError : public std::runtime_error {
public:
    DbError(int nativeCode, QString sqlState, QString message);

    int nativeCode() const { return nativeCode_; }
    const QString& sqlState() const { return sqlState_; }
    const QString& message() const { return message_; }

    // The connection is gone (server stopped, network cut, handle dead): the next operation
    // must open a new one.
    bool connectionLost() const;
    // Deadlock or lock wait timeout: the whole transaction may be run again.
    bool retryableLock() const;

    // What went wrong, for the code that decides what to do about it; the number stays for
    // the person who reads the message.
    enum class Kind {
        Other,
        ConnectionLost,  // as connectionLost()
        Lock,            // as retryableLock()
        Duplicate,       // a key already there (1062)
        ClusterCutOff,   // a cluster node out of the primary part refused to replicate (1180)
        NoSuchTable,     // 1146
        MixedCollations, // text the column's character set cannot compare (1267, 1270, 1271)
        WrongPassword,   // no such account, or not this password (1045)
        AccountLocked,   // the administrator locked the account (4151)
        TooManyWrong,    // blocked after too many wrong passwords (4150)
        PasswordExpired, // signed in, but only to set a new password (1820, 1862)
    };
    Kind kind() const;

    // The connection broke while COMMIT was under way: the transaction may or may not have
    // been written. Never to be reported as "not saved" without looking.
    bool outcomeUnknown() const { return outcomeUnknown_; }
    DbError& markOutcomeUnknown() {
        outcomeUnknown_ = true;
        return *this;
    }

    // "[2006] MySQL server has gone away" for messages and logs.
    QString describe() const;

private:
    int nativeCode_;
    QString sqlState_;
    QString message_;
    bool outcomeUnknown_ = false;
};

} // namespace data
