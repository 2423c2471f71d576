#pragma once
// Marks the classes and functions the shared library exports to a host.

#define DATATABLE_API __attribute__((visibility("default")))
