# The package as `cmake --install` lays it out: installs the SDK and the Python package into a
# fresh prefix and runs a pytest session there that uses the plugin through its entry point
# alone. Variables: BUILD_DIR, WORK_DIR, PYTHON, TABLE.

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/tests)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out
                  WORKING_DIRECTORY ${WORK_DIR}/tests)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}")
  endif()
  message(STATUS "${out}")
endfunction()

foreach(component sdk python)
  run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix --component ${component})
endforeach()
set(site ${WORK_DIR}/prefix/lib/python3/dist-packages)
foreach(file datatable/__init__.py datatable/pytest_plugin.py datatable-${VERSION}.dist-info/entry_points.txt)
  if(NOT EXISTS ${site}/${file})
    message(FATAL_ERROR "not installed: ${site}/${file}")
  endif()
endforeach()

file(WRITE ${WORK_DIR}/tests/test_installed.py "
import pytest, datatable

def test_the_package_comes_from_the_prefix():
    assert datatable.__file__.startswith(r'${WORK_DIR}/prefix/')

@pytest.mark.datatable(r'${TABLE}', sheet='Settings', id='Setting')
def test_settings(row, Value):
    assert row['Value'] == Value
")
set(ENV{PYTHONPATH} ${site})
set(ENV{PYTHONDONTWRITEBYTECODE} 1)
# No -p: the plugin is loaded through the .dist-info's pytest11 entry point.
run(${PYTHON} -m pytest -q -p no:cacheprovider --strict-markers test_installed.py)
