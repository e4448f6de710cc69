#include "QZFramework/Services/Threads/LThreadWorker.h"

#include <exception>

#include "QZFramework/Services/Trace/DebugTrace.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

int32_t RunThreadWorker(LThreadWorker& worker, RCPtr<LRefCountedObject>* argument) {
  try {
    return worker.Process(argument);
  } catch (const std::exception& failure) {
    DebugTrace::Get().Narrow() << "QZ::LThreadWorker::Process : " << worker.ToString() << " : " << failure.what()
                               << "\n";
  } catch (...) {
    DebugTrace::Get().Narrow() << "QZ::LThreadWorker::Process : " << worker.ToString() << " : unknown exception\n";
  }
  return QZ_E_FAIL;
}

} // namespace QZ
