# The layers of the source tree, lowest first, and the layers each one stands
# on. A file may include the headers of its own layer and of every layer
# under it, never of one above; CTest checks every `#include "..."` against
# this table (cmake/CheckLayers.cmake), so an upward include fails the tests.
#
# A layer is named after its library. Its files are folders (with their
# subfolders, unless those are layers of their own) or single units (a
# header and its source, given without extension); a unit belongs to the
# layer that names it, before its folder's. A folder that is in no layer
# fails the check: a new folder gets its place here.
#
#          layer               files                          stands on
varnel_layer(classlib_core     classlib/core classlib/posix)
varnel_layer(classlib_win      classlib/win                   OVER classlib_core)
varnel_layer(classlib_visual   classlib/visual                OVER classlib_win)
varnel_layer(ui_foundation_core
                               ui/foundation/cxClasses
                               ui/foundation/cxGeometry
                               ui/foundation/cxStorage        OVER classlib_core)
varnel_layer(ui_foundation     ui/foundation                  OVER ui_foundation_core
                                                                   classlib_visual)
varnel_layer(ui_editors        ui/editors                     OVER ui_foundation)
varnel_layer(ui_data           ui/data                        OVER ui_editors)
varnel_layer(ui_grid           ui/grid                        OVER ui_data)
varnel_layer(ui_pagecontrol    ui/pagecontrol                 OVER ui_foundation)
varnel_layer(ui_controls       ui/controls                    OVER ui_data)
varnel_layer(ui_bars           ui/bars                        OVER ui_foundation)
# The crash-report library must keep working when the user interface is what
# broke: it stands on the non-visual runtime only.
varnel_layer(crash_analysis    crash/analysis                 OVER classlib_win)
varnel_layer(crash             crash                          OVER crash_analysis)
varnel_layer(app               app                            OVER ui_grid ui_pagecontrol
                                                                   ui_controls ui_bars crash)
# Build-time tools of the host.
varnel_layer(tools             tools                          OVER crash_analysis)
# Tests, benchmarks and fuzzers may include anything they test.
varnel_layer(tests             tests                          OVER app tools)
varnel_layer(bench             bench                          OVER app tools)
varnel_layer(fuzz              fuzz                           OVER tests)
