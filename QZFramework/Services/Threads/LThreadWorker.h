#pragma once
// QZ::LThreadWorker: a job that a threader or a thread pool runs on its thread.
//
//   class LPoller : public QZ::LThreadWorker {
//     int32_t Process(QZ::RCPtr<QZ::LRefCountedObject>* argument) override { ... return 0; }
//   };
//
// Shared: the threader holds a reference while the job runs.

#include <cstdint>

#include "QZFramework/ObjectBase/RCPtr.h"

namespace QZ {

class LThreadWorker : public virtual LRefCountedObject {
public:
  // Runs one job on the threader's thread. argument points at the threader's argument
  // pointer (which may hold null); the job may read or replace it. The result is kept
  // as the threader's last result. An exception is reported to the debug trace and
  // gives QZ_E_FAIL.
  virtual int32_t Process(RCPtr<LRefCountedObject>* argument) = 0;
};

} // namespace QZ

namespace QZ {

// worker.Process(argument) as threaders call it: an exception escaping the job is
// reported to the debug trace and gives QZ_E_FAIL, so the thread lives on.
int32_t RunThreadWorker(LThreadWorker& worker, RCPtr<LRefCountedObject>* argument);

} // namespace QZ
