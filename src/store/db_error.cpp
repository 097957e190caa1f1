#include "db_error.h"

namespace zambrel::store {

DbError::DbError(long number, const QString &description)
    : std::runtime_error(description.toStdString()), m_number(number), m_description(description)
{
}

} // namespace zambrel::store
