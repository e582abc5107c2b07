#include "module/log.h"

namespace cifs {

std::atomic<int32_t> tarvo_rest_log_level{LOG_ERR};

}  // namespace cifs
