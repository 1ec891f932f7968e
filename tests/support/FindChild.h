#pragma once

#include <QObject>
#include <QString>

#include <gtest/gtest.h>

// The child of parent with this objectName and type. A missing one fails the test at once, with
// its name, rather than as a crash at the first use of the null it gives.
template <typename T = QObject>
T* Find(const QObject* parent, const char* name) {
  T* child = parent->findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << "no child named " << name;
  return child;
}
