// BaseContainer: a host container of settings, in the plug-in's storage.
#pragma once

#include "c4d_generation.h"

class BaseContainer {
 public:
  BaseContainer();  // container id -1
  ~BaseContainer();
  BaseContainer(const BaseContainer&) = delete;
  BaseContainer& operator=(const BaseContainer&) = delete;

  void SetBool(Int32 id, Bool value);

 private:
  alignas(8) unsigned char storage_[16];
};
