#!/usr/bin/env python3
"""How honest is the season outlook? For each seed: a new game played to
week 12, the outlook taken there, then the real season played on from the
same save. Reports how often the clubs given at least 50 % for promotion
went up, and the Brier score of the promotion forecasts (a coin toss
scores 0.25).

usage: tools/sim/forecast.py SIM [SEEDS] [RUNS]   (run from a directory
holding the game's data/, e.g. the checkout)"""
import json
import subprocess
import sys


def sim(exe, *args):
    out = subprocess.run([exe, *args], check=True, capture_output=True, text=True).stdout
    return json.loads(out)


def main():
    exe = sys.argv[1]
    seeds = int(sys.argv[2]) if len(sys.argv) > 2 else 40
    runs = sys.argv[3] if len(sys.argv) > 3 else "100"
    squared, forecasts, confident, confident_up = 0.0, 0, 0, 0
    for seed in range(1, seeds + 1):
        slot = f"forecast{seed}"
        sim(exe, "play", "--seed", str(seed), "--until-week", "12", "--save", slot)
        outlook = sim(exe, "outlook", "--load", slot, "--runs", runs, "--seed", str(seed))
        season = sim(exe, "play", "--load", slot, "--seed", str(seed), "--seasons", "1")["seasons"][0]
        after = {club: d + 1 for d, clubs in enumerate(season["divisions"]) for club in clubs}
        for d, rows in enumerate(outlook["divisions"]):
            if d == 0:
                continue  # nobody is promoted from the top division
            for row in rows:
                p = row["promotion"]
                up = 1.0 if after[row["index"]] < d + 1 else 0.0
                squared += (p - up) ** 2
                forecasts += 1
                if p >= 0.5:
                    confident += 1
                    confident_up += up
        print(f"seed {seed}: done", file=sys.stderr)
    print(json.dumps({"seeds": seeds, "runs_per_outlook": int(runs), "forecasts": forecasts,
                      "given_at_least_half": confident, "of_them_promoted": int(confident_up),
                      "brier": round(squared / forecasts, 4), "coin_toss": 0.25}))


if __name__ == "__main__":
    main()
