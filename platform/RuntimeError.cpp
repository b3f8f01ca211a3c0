#include "platform/RuntimeError.h"

#include <new>

namespace kelvane {

QString err::describe(int number)
{
    switch (number) {
    case InvalidProcedureCall: return QStringLiteral("Invalid procedure call or argument");
    case Overflow: return QStringLiteral("Overflow");
    case OutOfMemory: return QStringLiteral("Out of memory");
    case SubscriptOutOfRange: return QStringLiteral("Subscript out of range");
    case DivisionByZero: return QStringLiteral("Division by zero");
    case TypeMismatch: return QStringLiteral("Type mismatch");
    case FileNotFound: return QStringLiteral("File not found");
    case BadFileMode: return QStringLiteral("Bad file mode");
    case PathFileAccess: return QStringLiteral("Path/File access error");
    case PathNotFound: return QStringLiteral("Path not found");
    case ObjectNotSet: return QStringLiteral("Object variable or With block variable not set");
    case InvalidFileFormat: return QStringLiteral("Invalid file format");
    case ControlArrayElementMissing: return QStringLiteral("Control array element doesn't exist");
    case ObjectAlreadyLoaded: return QStringLiteral("Object already loaded");
    case InvalidPropertyValue: return QStringLiteral("Invalid property value");
    case CantCreateObject: return QStringLiteral("ActiveX component can't create object");
    case ObjectDoesNotSupport: return QStringLiteral("Object doesn't support this property or method");
    case ArgumentNotOptional: return QStringLiteral("Argument not optional");
    case WrongNumberOfArguments: return QStringLiteral("Wrong number of arguments or invalid property assignment");
    case DuplicateKey: return QStringLiteral("This key is already associated with an element of this collection");
    default: return {};
    }
}

RuntimeError::RuntimeError(int number, QString description)
    : m_number(number)
    , m_description(description.isNull() ? err::describe(number) : std::move(description))
    , m_what(QStringLiteral("[%1] %2").arg(number).arg(m_description).toStdString())
{
}

void raiseError(int number, const QString& description)
{
    throw RuntimeError(number, description);
}

RuntimeError toRuntimeError(const std::exception_ptr& failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const RuntimeError& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return RuntimeError(err::OutOfMemory);
    } catch (const std::exception& e) {
        return RuntimeError(err::InvalidProcedureCall, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return RuntimeError(err::InvalidProcedureCall);
    }
}

} // namespace kelvane
