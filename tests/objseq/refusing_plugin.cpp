// A stand-in plug-in library that loads but will not work: it answers action 4 with
// QUOR_ACTION4_ANSWER and refuses start-up, as a plug-in built for an unsupported host does.
#include <cstdint>

extern "C" __attribute__((visibility("default"))) int32_t c4d_main(int32_t action, void*, void*,
                                                                   void*) {
  switch (action) {
    case 1:
      return -3;  // start-up: host version not accepted
    case 3:
      return 1;  // end
    case 4:
      return QUOR_ACTION4_ANSWER;
    default:
      return -1;
  }
}
