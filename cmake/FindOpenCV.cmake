# SPDX-License-Identifier: MIT
# Debian 12 splits OpenCV by module (libopencv-core-dev, -imgproc-dev, ...):
# those packages hold the headers and libraries, while OpenCVConfig.cmake
# comes only with the whole libopencv-dev. Where that config is installed it
# is used; otherwise the requested modules are found here, each as an
# imported target named as OpenCV's own (opencv_core, opencv_imgproc, ...),
# global so that every folder that links the reader sees them.
find_package(OpenCV CONFIG QUIET)
if(OpenCV_FOUND)
  return()
endif()

find_path(OpenCV_INCLUDE_DIR opencv2/core.hpp PATH_SUFFIXES opencv4)
set(OpenCV_INCLUDE_DIRS ${OpenCV_INCLUDE_DIR})
set(OpenCV_LIBS)
set(_zarnik_opencv_missing)
foreach(module IN LISTS OpenCV_FIND_COMPONENTS)
  find_library(OpenCV_${module}_LIBRARY opencv_${module})
  if(OpenCV_${module}_LIBRARY AND OpenCV_INCLUDE_DIR)
    if(NOT TARGET opencv_${module})
      add_library(opencv_${module} UNKNOWN IMPORTED GLOBAL)
      set_target_properties(opencv_${module} PROPERTIES
        IMPORTED_LOCATION ${OpenCV_${module}_LIBRARY}
        INTERFACE_INCLUDE_DIRECTORIES ${OpenCV_INCLUDE_DIR})
    endif()
    list(APPEND OpenCV_LIBS opencv_${module})
    set(OpenCV_${module}_FOUND TRUE)
  else()
    list(APPEND _zarnik_opencv_missing ${module})
  endif()
endforeach()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(OpenCV
  REQUIRED_VARS OpenCV_INCLUDE_DIR
  HANDLE_COMPONENTS
  REASON_FAILURE_MESSAGE "install libopencv-core-dev libopencv-imgproc-dev libopencv-imgcodecs-dev (scripts/setup.sh run)")
