#include "app/commanderror.h"

#include "documents/documenterror.h"
#include "editor/editorerror.h"
#include "print/printtypes.h"

#include <new>

std::optional<QString> errorMessageFor(std::exception_ptr error)
{
    if (!error)
        return std::nullopt;
    try {
        std::rethrow_exception(error);
    } catch (const SilentAbort &) {
        return std::nullopt;
    } catch (const CommandError &e) {
        return e.message();
    } catch (const EditorError &e) {
        return e.message();
    } catch (const documents::DocumentError &e) {
        return e.message();
    } catch (const print::ELinePrinter &e) {
        return e.message();
    } catch (const std::bad_alloc &) {
        return QStringLiteral("Out of memory");
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("An unexpected error ended the command");
    }
}
