#include "data/DbError.h"

namespace data {

DbError::DbError(int nativeCode, QString sqlState, QString message)
    : std::runtime_error(QStringLiteral("[%1] %2").arg(nativeCode).arg(message).toStdString()), nativeCode_(nativeCode),
      sqlState_(std::move(sqlState)), message_(std::move(message)) {}

bool DbError::connectionLost() const {
    switch (nativeCode_) {
    case 2002: // can't connect through socket
    case 2003: // can't connect to server
    case 2006: // server has gone away
    case 2013: // lost connection during query
    case 2055: // lost connection (system error)
    case 1047: // a cluster node that left the cluster's primary part takes no statements
        return true;
    default:
        // Class 08 is the ODBC family of connection exceptions.
        return sqlState_.startsWith(QLatin1String("08"));
    }
}

bool DbError::retryableLock() const {
    return nativeCode_ == 1213 || nativeCode_ == 1205;
}

DbError::Kind DbError::kind() const {
    if (connectionLost())
        return Kind::ConnectionLost;
    if (retryableLock())
        return Kind::Lock;
    switch (nativeCode_) {
    case 1062:
        return Kind::Duplicate;
    case 1180:
        return Kind::ClusterCutOff;
    case 1146:
        return Kind::NoSuchTable;
    case 1267:
    case 1270:
    case 1271:
        return Kind::MixedCollations;
    case 1045:
        return Kind::WrongPassword;
    case 4151:
        return Kind::AccountLocked;
    case 4150:
        return Kind::TooManyWrong;
    case 1820:
    case 1862:
        return Kind::PasswordExpired;
    default:
        return Kind::Other;
    }
}

QString DbError::describe() const {
    return QStringLiteral("[%1] %2").arg(nativeCode_).arg(message_);
}

} // namespace data
