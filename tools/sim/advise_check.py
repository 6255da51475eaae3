#!/usr/bin/env python3
"""How honest is the assistant? For each seed: a new game played to a match
week, the advice taken there (500 rehearsals a line-up), then the advised
and the current line-up replayed 2000 times each with seeds the advice
never used. Reports, where the advice said its best line-up beats the
current one by more than the noise, how often it really earned more points.

usage: tools/sim/advise_check.py SIM [SEEDS] [RUNS] [CHECK_RUNS]   (run from
a directory holding the game's data/, e.g. the checkout)"""
import json
import subprocess
import sys


def sim(exe, *args):
    out = subprocess.run([exe, *args], check=True, capture_output=True, text=True).stdout
    return json.loads(out.strip().split("\n")[-1])


def main():
    exe = sys.argv[1]
    seeds = int(sys.argv[2]) if len(sys.argv) > 2 else 40
    runs = sys.argv[3] if len(sys.argv) > 3 else "500"
    check = sys.argv[4] if len(sys.argv) > 4 else "2000"
    said, right, same, gains = 0, 0, 0, []
    for seed in range(1, seeds + 1):
        # weeks 13 .. 47 in turn: league rounds and cup rounds alike
        week = 13 + (seed * 7) % 35
        slot = f"advise{seed}"
        sim(exe, "play", "--seed", str(seed), "--until-week", str(week), "--save", slot)
        try:
            a = sim(exe, "advise", "--load", slot, "--runs", runs, "--seed", str(seed), "--check-runs", check)
        except subprocess.CalledProcessError as e:
            print(f"seed {seed} week {week}: no advice ({e.stderr.strip()})", flush=True)
            continue
        best = a["candidates"][0]
        c = a["check"]
        line = (f"seed {seed} week {a['week']} {'cup' if a['cup'] else 'league'}: best {best['name']} "
                f"{best['points_diff']:+.3f}±{best['points_diff_margin']:.3f} "
                f"{'significant' if best['significant'] else 'noise'}; replayed {c['best_points']:.3f} "
                f"vs {c['reference_points']:.3f}")
        print(line, flush=True)
        if best["name"] == a["reference"]:
            same += 1
        elif best["significant"]:
            said += 1
            right += c["best_points"] > c["reference_points"]
            gains.append(c["best_points"] - c["reference_points"])
    print(json.dumps({"saves": seeds, "advice_is_current": same, "significant_advice": said,
                      "really_more_points": right,
                      "mean_gain_replayed": sum(gains) / len(gains) if gains else None}))


if __name__ == "__main__":
    main()
