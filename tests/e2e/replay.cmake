# Flight replays: `simhost.exe replay` flies each example flight against the
# real kestovan.dll under Wine, and its timeline and summary are compared
# with the stored transcript, exactly. Bad input stops with status 2 before
# anything flies. Included by CMakeLists.txt, whose add_wine_case, E2E and
# E2E_ENV this file uses.
set(VESTREL examples/aircraft/Vestrel_Fighter)
set(FLIGHTS examples/flights)

# add_replay_case(NAME STATUS ARGS...): simhost.exe replay ARGS; transcript
# expected/replay_NAME.txt.
function(add_replay_case name status)
  add_wine_case(replay_${name} ${status} simhost.exe replay ${ARGN})
endfunction()

# add_replay_variant(NAME OF ARGS...): simhost.exe replay ARGS must print
# exactly the transcript of replay_OF.
function(add_replay_variant name of)
  add_wine_variant(replay_${name} replay_${of} simhost.exe replay ${ARGN})
endfunction()

# The showcase sortie, also with the x87 held at 24 bits in every call.
add_replay_case(showcase 0 --aircraft ${VESTREL} --flight ${FLIGHTS}/showcase.csv)
add_replay_variant(showcase_x87_24 showcase
  --aircraft ${VESTREL} --flight ${FLIGHTS}/showcase.csv --x87-24)

# Each failure on its own.
foreach(flight overspeed g_overstress g_negative engine_overheat flaps_jam flaps_break
               gear_jam gear_break dive_brakes_jam dive_brakes_break)
  add_replay_case(${flight} 0 --aircraft ${VESTREL} --flight ${FLIGHTS}/${flight}.csv)
endforeach()
add_replay_case(engine_seizure 0 --aircraft ${VESTREL} --flight ${FLIGHTS}/engine_seizure.csv
  --engines 2)

# The tick count wraps 7.3 s into the flight, inside the overheat's first
# run period: the module's clock arithmetic must not notice.
add_replay_variant(engine_overheat_tick_wrap engine_overheat
  --aircraft ${VESTREL} --flight ${FLIGHTS}/engine_overheat.csv --start-tick 4294960000)

# The Debug setting: on shows the trace, off leaves the parts unnamed.
add_replay_case(flaps_jam_debug_on 0 --aircraft ${VESTREL} --flight ${FLIGHTS}/flaps_jam.csv
  --debug on)
add_replay_case(flaps_jam_debug_off 0 --aircraft ${VESTREL} --flight ${FLIGHTS}/flaps_jam.csv
  --debug off)
# No Kestovan.cfg: nothing happens. Another notification rate.
add_replay_case(overspeed_no_config 0 --aircraft examples/aircraft/Plain_Trainer
  --flight ${FLIGHTS}/overspeed.csv)
add_replay_case(overspeed_rate_4 0 --aircraft ${VESTREL} --flight ${FLIGHTS}/overspeed.csv
  --rate 4)
add_replay_case(help 0 --help)

# Bad input: status 2, a message naming the file and line, nothing flown.
add_replay_case(flight_missing 2 --aircraft ${VESTREL} --flight ${FLIGHTS}/no_such_flight.csv)
add_replay_case(unknown_column 2 --aircraft ${VESTREL} --flight ${FLIGHTS}/bad/unknown_column.csv)
add_replay_case(not_a_number 2 --aircraft ${VESTREL} --flight ${FLIGHTS}/bad/not_a_number.csv)
add_replay_case(time_not_increasing 2 --aircraft ${VESTREL}
  --flight ${FLIGHTS}/bad/time_not_increasing.csv)
add_replay_case(empty_flight 2 --aircraft ${VESTREL} --flight ${FLIGHTS}/bad/empty.csv)
add_replay_case(aircraft_missing 2 --aircraft examples/aircraft/No_Such_Aircraft
  --flight ${FLIGHTS}/overspeed.csv)
add_replay_case(no_flight_option 2 --aircraft ${VESTREL})
add_replay_case(debug_yes 2 --aircraft ${VESTREL} --flight ${FLIGHTS}/overspeed.csv --debug yes)
add_replay_case(json_unwritable 2 --aircraft ${VESTREL} --flight ${FLIGHTS}/overspeed.csv
  --json no_such_folder/calls.json)

# Digits at reduced x87 precision: the trace's formatted reals must not
# change when the host leaves the x87 at 24 bits. 17140530.0 is a value that
# the C runtime prints as 17140529.600000 at 24-bit precision.
add_replay_case(extreme_airspeed 0 --aircraft ${VESTREL} --flight ${FLIGHTS}/extreme_airspeed.csv
  --debug on)
add_replay_variant(extreme_airspeed_x87_24 extreme_airspeed
  --aircraft ${VESTREL} --flight ${FLIGHTS}/extreme_airspeed.csv --debug on --x87-24)
add_replay_case(showcase_debug_on 0 --aircraft ${VESTREL} --flight ${FLIGHTS}/showcase.csv
  --debug on)
add_replay_variant(showcase_debug_on_x87_24 showcase_debug_on
  --aircraft ${VESTREL} --flight ${FLIGHTS}/showcase.csv --debug on --x87-24)
