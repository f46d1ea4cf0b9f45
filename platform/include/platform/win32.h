// Every service of the Win32 subset in one include.
#pragma once

#include "platform/clock.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/locale.h"
#include "platform/profile.h"
#include "platform/module.h"
#include "platform/textfile.h"
// Inter-process services.
#include "platform/handle.h"
#include "platform/mapping.h"
#include "platform/process.h"
#include "platform/sync.h"
#include "platform/window.h"
