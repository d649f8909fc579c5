#!/usr/bin/python3
"""Trains the fire-and-smoke detector from scratch on the CPU and exports it.

    /usr/bin/python3 training/train.py --data ../shared/datasets/fire-smoke \
        --tev-scene build/tev-scene --work build/training --out models/default

Seeded, checkpointed after every epoch into --work (a run started again resumes there),
one progress line per 20 batches. At the end: calibration on the by-source validation
split, ONNX export (opset 12) into --out with detector.names, the figures in
--work/figures.json and the manifest of what it was trained on in --out/training.json.
"""
import argparse
import json
import math
import platform
import random
import sys
import time
from pathlib import Path

import cv2
import numpy as np
import torch

sys.path.insert(0, str(Path(__file__).resolve().parent))
from tevtrain import calibrate, evaluate, export, synthetic  # noqa: E402
from tevtrain.data import Views  # noqa: E402
from tevtrain.loss import detection_loss, pad_targets  # noqa: E402
from tevtrain.model import Detector, anchor_points  # noqa: E402
from tevtrain.sources import dataset_samples, split_by_source, source_rank  # noqa: E402

SIZE = 320
TRAIN_SCENE_SEEDS = (101, 102)
VALID_SCENE_SEEDS = (201,)  # tev-scene seeds of make eval are below 100


def arguments():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--data", required=True, help="folder of the datasets")
    parser.add_argument("--tev-scene", required=True, help="the tev-scene program")
    parser.add_argument("--work", required=True, help="checkpoints, scene clips, figures")
    parser.add_argument("--out", required=True, help="model folder to export into")
    parser.add_argument("--epochs", type=int, default=24)
    parser.add_argument("--batch", type=int, default=32)
    parser.add_argument("--lr", type=float, default=2e-3)
    parser.add_argument("--seed", type=int, default=7)
    parser.add_argument("--threads", type=int, default=2)
    parser.add_argument("--valid-share", type=float, default=0.2)
    parser.add_argument("--export-only", action="store_true",
                        help="calibrate and export the last checkpoint without training")
    return parser.parse_args()


def load_samples(args, work):
    """(train, valid real, valid real negatives, valid synthetic), and the manifest."""
    real = dataset_samples(args.data)
    train, valid = split_by_source(real, args.valid_share, args.seed)
    scenes = work / "scenes"
    sizes = ((1280, 720), (640, 480))
    scenarios = synthetic.FIRE_FREE + synthetic.WITH_FIRE
    train += synthetic.scene_samples(args.tev_scene, scenes, scenarios, TRAIN_SCENE_SEEDS, sizes,
                                     6, 10, 640)
    valid_scene = synthetic.scene_samples(args.tev_scene, scenes, scenarios, VALID_SCENE_SEEDS,
                                          sizes[:1], 6, 10, 640)
    docs = synthetic.OPENCV_SAMPLES
    train += synthetic.video_negatives(docs / "vtest.avi", 8, 384)
    train += synthetic.video_negatives(docs / "tree.avi", 4, 384)
    valid_negative = synthetic.video_negatives(docs / "Megamind.avi", 10, 384)
    pictures = synthetic.picture_negatives(
        sorted(p for p in docs.glob("*") if p.suffix.lower() in (".jpg", ".png")), 384)
    for picture in pictures:
        held_out = int(source_rank(picture.source, args.seed), 16) % 4 == 0
        (valid_negative if held_out else train).append(picture)
    valid_negative += [s for s in valid if s.origin == "real-negative"]
    valid_real = [s for s in valid if s.origin == "real"]
    manifest = {
        "train": sorted({s.path or s.source for s in train}),
        "valid": sorted({s.path or s.source for s in valid_real + valid_negative + valid_scene}),
    }
    return train, valid_real, valid_negative, valid_scene, manifest


class Ema:
    """Exponential moving average of the weights, used for validation and export."""

    def __init__(self, model, decay=0.9995):
        self.model = Detector()
        self.model.load_state_dict(model.state_dict())
        self.model.eval()
        self.decay = decay
        self.updates = 0

    @torch.no_grad()
    def update(self, model):
        self.updates += 1
        d = self.decay * (1 - math.exp(-self.updates / 1000))
        for mine, theirs in zip(self.model.state_dict().values(), model.state_dict().values()):
            if mine.dtype.is_floating_point:
                mine.mul_(d).add_(theirs.detach(), alpha=1 - d)
            else:
                mine.copy_(theirs)


def validate(model, valid_real, valid_negative, valid_scene, calibration=None):
    images, truths = evaluate.letterbox_all(valid_real, SIZE)
    detections = evaluate.predict(model, images, SIZE, calibration)
    neg_images, _ = evaluate.letterbox_all(valid_negative, SIZE)
    negatives = evaluate.predict(model, neg_images, SIZE, calibration)
    scene_images, scene_truths = evaluate.letterbox_all(valid_scene, SIZE)
    scene = evaluate.predict(model, scene_images, SIZE, calibration)
    scene_negative = [d for d, t in zip(scene, scene_truths) if not len(t)]
    scene_positive = [(d, t) for d, t in zip(scene, scene_truths) if len(t)]
    return {
        "detections": detections, "truths": truths, "negatives": negatives,
        "scene_negatives": scene_negative,
        "scene_detections": [d for d, _ in scene_positive],
        "scene_truths": [t for _, t in scene_positive],
    }


def summary(outputs, thresholds=(0.25, 0.5)):
    real = evaluate.figures(outputs["detections"], outputs["truths"], thresholds)
    scene = evaluate.figures(outputs["scene_detections"], outputs["scene_truths"], thresholds)
    return {
        "real": real, "synthetic": scene,
        "negative_share": {f"real_at{t}": evaluate.negative_share(outputs["negatives"], t)
                           for t in thresholds} |
                          {f"synthetic_at{t}": evaluate.negative_share(outputs["scene_negatives"], t)
                           for t in thresholds},
        "counts": {"real": len(outputs["truths"]), "real_negative": len(outputs["negatives"]),
                   "synthetic_with_truth": len(outputs["scene_truths"]),
                   "synthetic_negative": len(outputs["scene_negatives"])},
    }


def main():
    args = arguments()
    torch.manual_seed(args.seed)
    random.seed(args.seed)
    np.random.seed(args.seed)
    torch.set_num_threads(args.threads)
    cv2.setNumThreads(1)
    work = Path(args.work)
    work.mkdir(parents=True, exist_ok=True)
    started = time.time()
    train, valid_real, valid_negative, valid_scene, manifest = load_samples(args, work)
    print(f"train: {len(train)} images ({sum(s.origin == 'synthetic' for s in train)} synthetic, "
          f"{sum(not len(s.boxes) for s in train)} negative); valid: {len(valid_real)} real, "
          f"{len(valid_negative)} real negative, {len(valid_scene)} synthetic "
          f"(loaded in {time.time() - started:.0f} s)", flush=True)

    model = Detector()
    ema = Ema(model)
    optimiser = torch.optim.AdamW(model.parameters(), lr=args.lr, weight_decay=5e-4)
    views = Views(train, SIZE, args.seed)
    batches_per_epoch = len(train) // args.batch
    total = batches_per_epoch * args.epochs
    warmup = batches_per_epoch
    first_epoch = 0
    history = []
    commands = []  # every run that trained this checkpoint, resumed ones included
    train_seconds = 0.0
    checkpoint = work / "checkpoint.pt"
    if args.export_only and not checkpoint.exists():
        sys.exit(f"train.py: --export-only needs a checkpoint, and {checkpoint} does not exist: "
                 "train first")
    if checkpoint.exists():
        state = torch.load(checkpoint)
        model.load_state_dict(state["model"])
        ema.model.load_state_dict(state["ema"])
        ema.updates = state["ema_updates"]
        optimiser.load_state_dict(state["optimiser"])
        views.rng.bit_generator.state = state["rng"]
        torch.set_rng_state(state["torch_rng"])
        first_epoch = state["epoch"] + 1
        history = state.get("history", [])
        commands = state.get("commands", [])
        train_seconds = state.get("train_seconds", 0.0)
        print(f"resuming after epoch {first_epoch}", flush=True)
    if not args.export_only:
        commands.append(" ".join(sys.argv))

    points, strides = anchor_points(SIZE)
    for epoch in range(first_epoch, 0 if args.export_only else args.epochs):
        model.train()
        epoch_start = time.time()
        sums = np.zeros(3)
        for i, (images, boxes) in enumerate(views.batches(args.batch)):
            step = epoch * batches_per_epoch + i
            lr = args.lr * (min(1.0, (step + 1) / warmup) *
                            (0.05 + 0.95 * 0.5 * (1 + math.cos(math.pi * step / total))))
            for group in optimiser.param_groups:
                group["lr"] = lr
            gt, mask = pad_targets(boxes)
            logits, distances = model(images)
            loss, cls_loss, box_loss = detection_loss(logits, distances, points, strides, gt, mask)
            optimiser.zero_grad()
            loss.backward()
            torch.nn.utils.clip_grad_norm_(model.parameters(), 10.0)
            optimiser.step()
            ema.update(model)
            sums += [loss.item(), cls_loss.item(), box_loss.item()]
            if (i + 1) % 20 == 0:
                done = step + 1 - first_epoch * batches_per_epoch
                left = (time.time() - epoch_start) / (i + 1) * (total - step - 1) if done else 0
                print(f"epoch {epoch + 1}/{args.epochs} batch {i + 1}/{batches_per_epoch} "
                      f"loss {sums[0] / (i + 1):.3f} (class {sums[1] / (i + 1):.3f}, "
                      f"box {sums[2] / (i + 1):.3f}) lr {lr:.5f} "
                      f"time left ~{left / 60:.0f} min", flush=True)
        line = {"epoch": epoch + 1, "loss": sums[0] / batches_per_epoch,
                "seconds": time.time() - epoch_start}
        if (epoch + 1) % 3 == 0 or epoch + 1 == args.epochs:
            figures = summary(validate(ema.model, valid_real, valid_negative, valid_scene))
            line.update({"fire_AP50": figures["real"]["fire"]["AP50"],
                         "smoke_AP50": figures["real"]["smoke"]["AP50"],
                         "synthetic_fire_AP50": figures["synthetic"]["fire"]["AP50"]})
        print("validation " + json.dumps(line), flush=True)
        history.append(line)
        train_seconds += time.time() - epoch_start
        torch.save({"model": model.state_dict(), "ema": ema.model.state_dict(),
                    "ema_updates": ema.updates, "optimiser": optimiser.state_dict(),
                    "rng": views.rng.bit_generator.state, "torch_rng": torch.get_rng_state(),
                    "epoch": epoch, "history": history, "commands": commands,
                    "train_seconds": train_seconds}, work / "checkpoint.tmp")
        (work / "checkpoint.tmp").replace(checkpoint)

    final = ema.model
    raw = validate(final, valid_real, valid_negative, valid_scene)
    calibration, record = calibrate.calibrate(raw["detections"], raw["truths"],
                                              [raw["negatives"], raw["scene_negatives"]])
    calibrated = summary(validate(final, valid_real, valid_negative, valid_scene, calibration),
                         (0.25, 0.5, 0.7))
    # AP ranks every detection: the uncalibrated outputs keep the weakest ones the floor of
    # the calibrated outputs would cut.
    figures = {"calibration": record, "calibrated": calibrated, "uncalibrated": summary(raw),
               "history": history}
    (work / "figures.json").write_text(json.dumps(figures, indent=2))
    print(json.dumps(calibrated, indent=1), flush=True)

    out = Path(args.out)
    export.export(final, SIZE, calibration, out / "detector.onnx")
    (out / "detector.names").write_text("fire\nother\nsmoke\n")
    manifest.update({
        "seed": args.seed, "epochs": args.epochs, "batch": args.batch, "lr": args.lr,
        "input": SIZE, "commands": commands, "export_command": " ".join(sys.argv),
        "training_minutes": train_seconds / 60,
        "versions": {"torch": torch.__version__, "opencv": cv2.__version__,
                     "numpy": np.__version__, "python": platform.python_version()},
        "calibration": record, "validation": calibrated,
    })
    (out / "training.json").write_text(json.dumps(manifest, indent=1))
    print(f"exported {out / 'detector.onnx'} in {(time.time() - started) / 60:.0f} min", flush=True)


if __name__ == "__main__":
    main()
